// What registering the widl-made test library (tests/data/com/com_test.idl) must write, as Windows'
// RegisterTypeLib does: which of its types get an Interface key and with which proxy, shared by the
// emulated machine's test and the one against the real oleaut32 under Wine.
#pragma once

namespace tarvium::test {

inline constexpr const char* kComTestLibid = "{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B19}";
inline constexpr const char* kPSOAInterface = "{00020424-0000-0000-C000-000000000046}";
inline constexpr const char* kPSDispatch = "{00020420-0000-0000-C000-000000000046}";

struct ExpectedInterfaceKey {
  const char* iid;
  const char* name;
  const char* proxy;  // null: the type gets no Interface key
};

// Dual and automation interfaces get the automation proxy, a dispinterface the dispatch proxy; a
// plain interface and a class get nothing.
inline constexpr ExpectedInterfaceKey kComTestInterfaceKeys[] = {
    {"{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B10}", "IComTestDual", kPSOAInterface},
    {"{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B11}", "DComTestEvents", kPSDispatch},
    {"{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B12}", "IComTestPlain", nullptr},
    {"{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B13}", "IComTestAutomation", kPSOAInterface},
    {"{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B20}", "ComTestObject", nullptr},
};

}  // namespace tarvium::test
