#pragma once
// What the registry says of a file extension, for display in the settings sheet.

#include <string>

// The registry walker's shape, as the file finder's: three operations a walker overrides.
class FindRegistry_CL {
public:
    virtual ~FindRegistry_CL() = default;
    virtual int OnEnterKey(const std::wstring& /*path*/, const std::wstring& /*name*/) { return 1; }
    virtual void OnValue(const std::wstring& /*key*/, const std::wstring& /*name*/) {}
    virtual void OnLeaveKey() {}
};

class RegistryExtInfo_CL : public FindRegistry_CL {
public:
    // The "Content Type" value of HKEY_CLASSES_ROOT\<extension>; empty when there is none.
    static std::wstring ContentType(const std::wstring& extension);
    // The default value of that key: the file type the extension is registered to.
    static std::wstring RegisteredType(const std::wstring& extension);
};
