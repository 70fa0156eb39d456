#pragma once

#include <QString>

namespace lumora {

class IniFile;

// Process-wide sign-in values; written on the user-interface thread by the sign-in, read by request builders.
extern QString ServiceBaseUrl;   // always ends with "/"; script names are appended directly
extern QString AlternateBaseUrl; // used for the rest of the run once the version check fails
extern const QString ProtocolVersion;
extern QString SessionUser;
extern QString SessionPassword;
extern QString SessionInputUser;

// The built-in addresses: the local reference service.
QString DefaultServiceBaseUrl();   // http://127.0.0.1:8086/ms/kessum/
QString DefaultAlternateBaseUrl(); // http://localhost:8086/ms/kessum/

// Optional keys "服务地址" and "备用服务地址" of section "设置" override the built-in addresses. Read once at
// program entry; never written back.
void LoadServiceAddresses(const IniFile &ini);

// A page of the service's web site: path (from its leading "/") on the host of ServiceBaseUrl as it is now, so the
// pages follow the alternate host once the program switched.
QString ServiceSiteUrl(const QString &path);

// The five lines every request starts with, each ended by CR LF.
QString SessionBlock();

// Back to the start-of-run values (tests).
void ResetSession();

} // namespace lumora
