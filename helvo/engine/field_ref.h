// Field references: how a key definition reaches "its" field in whichever object is being read or
// written. A reference is built from member pointers (optionally nested one level, optionally an
// element of a member array), so it is typed, needs no byte offsets, and two references built from
// the same members compare equal.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <typeinfo>

namespace helvo {

class CFiler;
class cFilerContainer;
class CFilerElement;

class FieldRef {
 public:
  FieldRef() = default;

  // The field within obj, or none when obj is not of the class the reference was made for.
  void* Resolve(CFiler* obj) const { return resolve_ && obj ? resolve_(*this, obj) : nullptr; }

  explicit operator bool() const { return resolve_ != nullptr; }
  bool operator==(const FieldRef& o) const {
    return resolve_ == o.resolve_ && index_ == o.index_ && std::memcmp(bytes_, o.bytes_, sizeof bytes_) == 0;
  }

 protected:
  using ResolveFn = void* (*)(const FieldRef&, CFiler*);
  static constexpr size_t kSlot = 16;  // room for one data-member pointer

  template <class P>
  void Store(int slot, P p) {
    static_assert(sizeof(P) <= kSlot && std::is_trivially_copyable_v<P>);
    std::memcpy(bytes_ + slot * kSlot, &p, sizeof(P));
  }
  template <class P>
  P Load(int slot) const {
    P p;
    std::memcpy(&p, bytes_ + slot * kSlot, sizeof(P));
    return p;
  }

  // The object of the class the reference was made for, or none: a checked down-cast. The dynamic
  // type of the last object that passed the check is remembered, and an object of that very type is
  // cast without asking the run-time type system again; the reader and writer resolve every key of
  // a section on objects of one type, and the full check dominated their time.
  template <class C, class Object>  // Object is CFiler, complete where the look-ups are made
  C* Downcast(Object* o) const {
    const std::type_info* type = &typeid(*o);
    if (type == checked_) return static_cast<C*>(o);
    C* c = dynamic_cast<C*>(o);
    if (c) checked_ = type;
    return c;
  }

  ResolveFn resolve_ = nullptr;
  size_t index_ = 0;
  unsigned char bytes_[2 * kSlot] = {};
  mutable const std::type_info* checked_ = nullptr;  // not part of the reference's identity
};

// What a field of type T is seen as by the engine: converters as their base CFilerElement,
// everything else as itself.
template <class T>
using FieldCanon = std::conditional_t<std::is_base_of_v<CFilerElement, T>, CFilerElement, T>;

// A field reference that remembers the (canonical) type of its field.
template <class T>
class Field : public FieldRef {
 public:
  Field() = default;

  T* Get(CFiler* obj) const { return static_cast<T*>(Resolve(obj)); }

  // obj.*m
  template <class C, class M>
  static Field Of(M C::*m) {
    Field f;
    f.Store(0, m);
    f.resolve_ = [](const FieldRef& r, CFiler* o) -> void* {
      C* c = static_cast<const Field&>(r).template Downcast<C>(o);
      if (!c) return nullptr;
      return static_cast<T*>(&(c->*(static_cast<const Field&>(r).template Load<M C::*>(0))));
    };
    return f;
  }
  // (obj.*outer).*inner
  template <class C, class O, class M>
  static Field Of(O C::*outer, M O::*inner) {
    Field f;
    f.Store(0, outer);
    f.Store(1, inner);
    f.resolve_ = [](const FieldRef& r, CFiler* o) -> void* {
      C* c = static_cast<const Field&>(r).template Downcast<C>(o);
      if (!c) return nullptr;
      const Field& self = static_cast<const Field&>(r);
      O& mid = c->*(self.template Load<O C::*>(0));
      return static_cast<T*>(&(mid.*(self.template Load<M O::*>(1))));
    };
    return f;
  }
  // (obj.*array)[index]
  template <class C, class M, size_t N>
  static Field Of(M (C::*array)[N], size_t index) {
    Field f;
    f.Store(0, array);
    f.index_ = index;
    f.resolve_ = [](const FieldRef& r, CFiler* o) -> void* {
      C* c = static_cast<const Field&>(r).template Downcast<C>(o);
      const Field& self = static_cast<const Field&>(r);
      if (!c || self.index_ >= N) return nullptr;
      M(&arr)[N] = c->*(self.template Load<M(C::*)[N]>(0));
      return static_cast<T*>(&arr[self.index_]);
    };
    return f;
  }
  // (obj.*array)[index].*inner
  template <class C, class O, size_t N, class M>
  static Field Of(O (C::*array)[N], size_t index, M O::*inner) {
    Field f;
    f.Store(0, array);
    f.Store(1, inner);
    f.index_ = index;
    f.resolve_ = [](const FieldRef& r, CFiler* o) -> void* {
      C* c = static_cast<const Field&>(r).template Downcast<C>(o);
      const Field& self = static_cast<const Field&>(r);
      if (!c || self.index_ >= N) return nullptr;
      O(&arr)[N] = c->*(self.template Load<O(C::*)[N]>(0));
      return static_cast<T*>(&(arr[self.index_].*(self.template Load<M O::*>(1))));
    };
    return f;
  }
};

// Convenience makers that deduce the canonical field type:
//   FieldOf(&CAnalogCfg::m_fNominal), FieldOf(&CAnalogCfg::m_Scale, &cScale::m_fPri1),
//   FieldOf(&CMeterGroup::m_Meters, 3), FieldOf(&cTrend::m_Items, 7, &sItem::m_Meter)
template <class C, class M>
Field<FieldCanon<M>> FieldOf(M C::*m) {
  return Field<FieldCanon<M>>::Of(m);
}
template <class C, class O, class M>
Field<FieldCanon<M>> FieldOf(O C::*outer, M O::*inner) {
  return Field<FieldCanon<M>>::Of(outer, inner);
}
template <class C, class M, size_t N>
Field<FieldCanon<M>> FieldOf(M (C::*array)[N], size_t index) {
  return Field<FieldCanon<M>>::Of(array, index);
}
template <class C, class O, size_t N, class M>
Field<FieldCanon<M>> FieldOf(O (C::*array)[N], size_t index, M O::*inner) {
  return Field<FieldCanon<M>>::Of(array, index, inner);
}

}  // namespace helvo
