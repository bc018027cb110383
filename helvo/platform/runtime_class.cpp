#include "helvo/platform/runtime_class.h"

namespace helvo {

namespace {
// Zero-initialised before any constructor runs, so records may register in any order.
const RuntimeClass* g_firstClass = nullptr;
}  // namespace

RuntimeClass::RuntimeClass(const char* name, const RuntimeClass* base, CreateFn create)
    : m_lpszClassName(name), m_pBaseClass(base), m_pfnCreateObject(create), m_pNext(g_firstClass) {
  g_firstClass = this;
}

bool RuntimeClass::IsDerivedFrom(const RuntimeClass* base) const {
  for (const RuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return true;
  return false;
}

const RuntimeClass* RuntimeClass::FromName(std::string_view name) {
  for (const RuntimeClass* c = g_firstClass; c; c = c->m_pNext)
    if (name == c->m_lpszClassName) return c;
  return nullptr;
}

CObject* RuntimeClass::CreateObject(std::string_view name) {
  const RuntimeClass* c = FromName(name);
  return c ? c->CreateObject() : nullptr;
}

const RuntimeClass CObject::classCObject("CObject", nullptr, nullptr);

const RuntimeClass* CObject::GetRuntimeClass() const {
  return &classCObject;
}

bool CObject::IsKindOf(const RuntimeClass* cls) const {
  return GetRuntimeClass()->IsDerivedFrom(cls);
}

}  // namespace helvo
