#pragma once
// The certificates the user has trusted, one per server: REG_SZ values
// under HKEY_CURRENT_USER\Software\Orvik\Tessarine\Certificates, each named
// "host:port" (as ServerAddress::Name() gives it) and holding the
// fingerprint. Under the program's key, so unregistering removes them with
// the other settings. Through the registry helpers; none shows a message.

#include <optional>
#include <string>

constexpr const char* kCertificatesKey = "Software\\Orvik\\Tessarine\\Certificates";

// The stored text for server, as stored (the caller parses it); none when
// nothing (or no REG_SZ) is stored.
std::optional<std::string> LoadCertificatePin(const std::string& server);

// Stores fingerprint for server, creating the key when needed. False when
// the store cannot be written.
bool SaveCertificatePin(const std::string& server, const std::string& fingerprint);
