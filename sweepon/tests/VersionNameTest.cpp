#include "LookupOnce.h"
#include "VersionName.h"

#include <gtest/gtest.h>

#include <string>

namespace sweepon {
namespace {

constexpr std::uint8_t kWorkstation = 1;
constexpr std::uint8_t kDomainController = 2;
constexpr std::uint8_t kServer = 3;

CompatibilityReport Compat(std::uint32_t major, std::uint32_t minor,
                           std::uint8_t productType = kWorkstation, std::uint16_t suiteMask = 0)
{
    return CompatibilityReport{major, minor, suiteMask, productType};
}

std::string Name(const VersionReports& reports)
{
    const std::wstring name = NameWindowsVersion(reports);
    return std::string(name.begin(), name.end());  // the names are ASCII
}

TEST(VersionName, NoCompatibilityReportGivesNoNameWhateverTheKernelSays)
{
    EXPECT_EQ(Name({std::nullopt, KernelReport{10, 0}, false}), "");
    EXPECT_EQ(Name({std::nullopt, KernelReport{6, 1}, true}), "");
    EXPECT_EQ(Name({std::nullopt, std::nullopt, false}), "");
}

TEST(VersionName, KernelRowsIgnoreProductTypeAndCompatibilityReport)
{
    // Without a supportedOS entry GetVersionExW says 6.2 on 8.1 and 10.
    EXPECT_EQ(Name({Compat(6, 2), KernelReport{10, 0}}), "Windows 10");
    EXPECT_EQ(Name({Compat(6, 2, kServer), KernelReport{10, 0}}), "Windows 10");
    EXPECT_EQ(Name({Compat(10, 0), KernelReport{10, 0}}), "Windows 10");
    EXPECT_EQ(Name({Compat(6, 2), KernelReport{10, 1}}), "Windows 10");
    EXPECT_EQ(Name({Compat(6, 2), KernelReport{11, 0}}), "Windows 10");
    EXPECT_EQ(Name({Compat(6, 2), KernelReport{6, 3}}), "Windows 8.1");
    EXPECT_EQ(Name({Compat(6, 3, kServer), KernelReport{6, 3}}), "Windows 8.1");
    EXPECT_EQ(Name({Compat(6, 2), KernelReport{6, 2}}), "Windows 8");
    EXPECT_EQ(Name({Compat(6, 2, kServer), KernelReport{6, 2}}), "Windows 8");
    EXPECT_EQ(Name({Compat(6, 1), KernelReport{6, 4}}), "Windows 8.1");
    // A kernel row wins even over an older compatibility report.
    EXPECT_EQ(Name({Compat(5, 1), KernelReport{10, 0}}), "Windows 10");
}

TEST(VersionName, VersionSixRowsFollowProductType)
{
    const KernelReport seven{6, 1};
    EXPECT_EQ(Name({Compat(6, 1, kWorkstation), seven}), "Windows 7");
    EXPECT_EQ(Name({Compat(6, 1, kDomainController), seven}), "Windows Server 2008 R2");
    EXPECT_EQ(Name({Compat(6, 1, kServer), seven}), "Windows Server 2008 R2");
    const KernelReport vista{6, 0};
    EXPECT_EQ(Name({Compat(6, 0, kWorkstation), vista}), "Windows Vista");
    EXPECT_EQ(Name({Compat(6, 0, kServer), vista}), "Windows Server 2008");
    EXPECT_EQ(Name({Compat(6, 0, kDomainController), vista}), "Windows Server 2008");
    // Vista, 7 and their servers are named from the compatibility report.
    EXPECT_EQ(Name({Compat(6, 1), std::nullopt}), "Windows 7");
    EXPECT_EQ(Name({Compat(6, 0), std::nullopt}), "Windows Vista");
}

TEST(VersionName, WithoutKernelReportEightAndLaterHaveNoName)
{
    EXPECT_EQ(Name({Compat(6, 2), std::nullopt}), "");
    EXPECT_EQ(Name({Compat(6, 3), std::nullopt}), "");
    EXPECT_EQ(Name({Compat(6, 4), std::nullopt}), "");
    EXPECT_EQ(Name({Compat(10, 0), std::nullopt}), "");
    // A kernel report below 6.2 leaves the decision to the compatibility one.
    EXPECT_EQ(Name({Compat(6, 2), KernelReport{6, 1}}), "");
}

TEST(VersionName, VersionFiveRows)
{
    EXPECT_EQ(Name({Compat(5, 2, kServer), KernelReport{5, 2}, true}), "Windows Server 2003 R2");
    EXPECT_EQ(Name({Compat(5, 2, kServer), KernelReport{5, 2}, false}), "Windows Server 2003");
    // Home Server and XP x64 are 5.2 too; the R2 metric rows take them first.
    EXPECT_EQ(Name({Compat(5, 2, kServer, 0x8000), KernelReport{5, 2}}), "Windows Server 2003");
    EXPECT_EQ(Name({Compat(5, 2, kWorkstation), KernelReport{5, 2}}), "Windows Server 2003");
    EXPECT_EQ(Name({Compat(5, 1), KernelReport{5, 1}}), "Windows XP");
    EXPECT_EQ(Name({Compat(5, 1, kServer), std::nullopt, true}), "Windows XP");
    EXPECT_EQ(Name({Compat(5, 0), KernelReport{5, 0}}), "Windows 2000");
    EXPECT_EQ(Name({Compat(5, 3), KernelReport{5, 3}}), "");
}

TEST(VersionName, VersionFourRowsIgnoreEverythingButTheNumbers)
{
    EXPECT_EQ(Name({Compat(4, 90), std::nullopt}), "Windows Me");
    EXPECT_EQ(Name({Compat(4, 10), std::nullopt}), "Windows 98");
    EXPECT_EQ(Name({Compat(4, 0), std::nullopt}), "Windows 95");
    EXPECT_EQ(Name({Compat(4, 0, kServer), KernelReport{4, 0}}), "Windows 95");  // NT 4 too
    EXPECT_EQ(Name({Compat(4, 1), std::nullopt}), "");
    EXPECT_EQ(Name({Compat(4, 91), std::nullopt}), "");
}

TEST(VersionName, OtherMajorsHaveNoName)
{
    EXPECT_EQ(Name({Compat(3, 51), KernelReport{3, 51}}), "");
    EXPECT_EQ(Name({Compat(0, 0), std::nullopt}), "");
    EXPECT_EQ(Name({Compat(7, 0), std::nullopt}), "");
    EXPECT_EQ(Name({Compat(2, 0), KernelReport{2, 0}}), "");
}

TEST(KernelVersionAtLeast, MajorsDecideBeforeMinors)
{
    EXPECT_TRUE(KernelVersionAtLeast(KernelReport{6, 3}, 6, 2));
    EXPECT_FALSE(KernelVersionAtLeast(KernelReport{6, 2}, 6, 3));
    EXPECT_FALSE(KernelVersionAtLeast(KernelReport{6, 3}, 10, 0));
    EXPECT_TRUE(KernelVersionAtLeast(KernelReport{10, 0}, 6, 3));
    EXPECT_TRUE(KernelVersionAtLeast(KernelReport{6, 2}, 6, 2));
    EXPECT_TRUE(KernelVersionAtLeast(KernelReport{7, 0}, 6, 9));
    EXPECT_FALSE(KernelVersionAtLeast(KernelReport{5, 9}, 6, 0));
    EXPECT_TRUE(KernelVersionAtLeast(KernelReport{0x10000, 0}, 0xFFFF, 0xFFFF));
}

TEST(KernelVersionAtLeast, NoKernelReportIsNeverEnough)
{
    EXPECT_FALSE(KernelVersionAtLeast(std::nullopt, 0, 0));
    EXPECT_FALSE(KernelVersionAtLeast(std::nullopt, 6, 2));
}

using Function = int (*)();

int Answer() { return 42; }

TEST(LookupOnce, LooksUpOnlyOnce)
{
    LookupOnce<Function> entry;
    int lookups = 0;
    auto lookup = [&] { ++lookups; return &Answer; };
    EXPECT_EQ(entry.Get(lookup), &Answer);
    EXPECT_EQ(entry.Get(lookup), &Answer);
    EXPECT_EQ(lookups, 1);
}

TEST(LookupOnce, RemembersAFailedLookup)
{
    LookupOnce<Function> entry;
    int lookups = 0;
    EXPECT_EQ(entry.Get([&]() -> Function { ++lookups; return nullptr; }), nullptr);
    EXPECT_EQ(entry.Get([&]() -> Function { ++lookups; return &Answer; }), nullptr);
    EXPECT_EQ(lookups, 1);
}

}  // namespace
}  // namespace sweepon
