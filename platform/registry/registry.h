// The registry: HKEY_LOCAL_MACHINE kept in one text file in the format of registry
// exports ($TARNWICK_REGISTRY, else $XDG_CONFIG_HOME/tarnwick/registry.reg, else
// ~/.config/tarnwick/registry.reg).
#pragma once

#include "platform/base/base.h"

typedef struct HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002)

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define REG_OPTION_NON_VOLATILE 0
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

// All return ERROR_SUCCESS or an error code. A registry file that cannot be parsed makes
// every call fail (ERROR_BADDB) and is never written over.
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options,
                     REGSAM access, void* security, PHKEY result, LPDWORD disposition);
// data may be null to ask for the size. A value larger than *size fails with
// ERROR_MORE_DATA and sets *size to the size needed.
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);
LONG RegDeleteValueW(HKEY key, LPCWSTR name);
LONG RegCloseKey(HKEY key);

// The path of the registry file in use.
size_t RegistryFilePath(char* dst, size_t cap);
