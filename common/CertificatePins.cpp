#include "common/CertificatePins.h"

#include "common/RegistryHelpers.h"

namespace {

// A fingerprint is 95 bytes; room for a longer hand-edited value, which
// then reads as a different pin rather than as none.
constexpr DWORD kPinBufferSize = 512;

}  // namespace

std::optional<std::string> LoadCertificatePin(const std::string& server)
{
    std::string value;
    if (!RegistryReadString(HKEY_CURRENT_USER, kCertificatesKey, server, value, kPinBufferSize))
        return std::nullopt;
    return value;
}

bool SaveCertificatePin(const std::string& server, const std::string& fingerprint)
{
    return RegistryCreateKey(HKEY_CURRENT_USER, kCertificatesKey) &&
           RegistryWriteString(HKEY_CURRENT_USER, kCertificatesKey, server, fingerprint);
}
