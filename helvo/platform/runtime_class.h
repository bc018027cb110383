// Run-time class records: each model class has one, with its name, its base and (when objects can be
// created by name) a create function. Records link themselves into one process-wide list when the
// program starts, so CreateObject(name) finds every class the program links.
#pragma once

#include <string_view>

namespace helvo {

class CObject;

struct RuntimeClass {
  using CreateFn = CObject* (*)();

  RuntimeClass(const char* name, const RuntimeClass* base, CreateFn create);
  RuntimeClass(const RuntimeClass&) = delete;
  RuntimeClass& operator=(const RuntimeClass&) = delete;

  const char* m_lpszClassName;
  const RuntimeClass* m_pBaseClass;
  CreateFn m_pfnCreateObject;  // none when the class is not creatable by name
  const RuntimeClass* m_pNext;

  bool IsDerivedFrom(const RuntimeClass* base) const;
  CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

  // The record registered under name (case-sensitive), or none.
  static const RuntimeClass* FromName(std::string_view name);
  // A new object of the named class, or none when no creatable class has that name.
  static CObject* CreateObject(std::string_view name);
};

// The root of every class that carries a run-time class record.
class CObject {
 public:
  virtual ~CObject() = default;
  virtual const RuntimeClass* GetRuntimeClass() const;
  bool IsKindOf(const RuntimeClass* cls) const;
  static const RuntimeClass classCObject;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

}  // namespace helvo

// Declares the run-time class record of a class derived from CObject.
#define HELVO_DECLARE_RUNTIME(cls)                                \
 public:                                                          \
  static const ::helvo::RuntimeClass class##cls;                  \
  const ::helvo::RuntimeClass* GetRuntimeClass() const override { \
    return &class##cls;                                           \
  }

// Defines the record of a class that cannot be created by name.
#define HELVO_IMPLEMENT_RUNTIME(cls, base) \
  const ::helvo::RuntimeClass cls::class##cls(#cls, &base::class##base, nullptr);

// Defines the record of a class that is created by name with its default constructor.
#define HELVO_IMPLEMENT_DYNCREATE(cls, base)                            \
  const ::helvo::RuntimeClass cls::class##cls(#cls, &base::class##base, \
                                              []() { return static_cast<::helvo::CObject*>(new cls); });

#define HELVO_RUNTIME_CLASS(cls) (&cls::class##cls)
