#include "common/CertificatePins.h"
#include "common/RegistryHelpers.h"
#include "platform/registry/RegistryStore.h"

#include <gtest/gtest.h>

namespace {

const std::string kA(95, 'A');
const std::string kB(95, 'B');

// One value per host:port, in the program's key, replaced by a new Yes;
// other servers' pins untouched; a value of another type is no pin.
TEST(CertificatePins, OneValuePerServerUnderTheProgramsKey)
{
    EXPECT_EQ(LoadCertificatePin("ftp.example.org:21"), std::nullopt);  // no key yet
    ASSERT_TRUE(SaveCertificatePin("ftp.example.org:21", kA));
    ASSERT_TRUE(SaveCertificatePin("[::1]:990", kB));
    EXPECT_EQ(LoadCertificatePin("ftp.example.org:21"), kA);
    EXPECT_EQ(LoadCertificatePin("FTP.Example.org:21"), kA);  // value names compare without case, as host names do
    EXPECT_EQ(LoadCertificatePin("ftp.example.org:990"), std::nullopt);
    EXPECT_EQ(LoadCertificatePin("[::1]:990"), kB);
    ASSERT_TRUE(SaveCertificatePin("ftp.example.org:21", kB));
    EXPECT_EQ(LoadCertificatePin("ftp.example.org:21"), kB);

    std::string stored;
    EXPECT_TRUE(RegistryReadString(HKEY_CURRENT_USER, "Software\\Orvik\\Tessarine\\Certificates", "[::1]:990", stored,
                                   512));
    EXPECT_EQ(stored, kB);
    ASSERT_TRUE(RegistryWriteDword(HKEY_CURRENT_USER, kCertificatesKey, "odd:21", 7));
    EXPECT_EQ(LoadCertificatePin("odd:21"), std::nullopt);
}

}  // namespace
