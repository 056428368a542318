#include "WarningLog.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace sweepon {
namespace {

TEST(WarningLogPath, OnlyTheLogSwitchTakesTheBoxAway)
{
    struct Case {
        std::vector<std::wstring> arguments;
        std::optional<std::wstring> log;
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{L"/quiet"}, std::nullopt},
        {{L"log", L"C:\\x.log"}, std::nullopt},
        {{L"/logfile", L"C:\\x.log"}, std::nullopt},
        {{L"C:\\x.log", L"/log"}, std::wstring()},
        {{L"/log", L"C:\\Temp\\sweepon.log"}, L"C:\\Temp\\sweepon.log"},
        {{L"-LOG", L"C:\\a b\\日志.log"}, L"C:\\a b\\日志.log"},
        {{L"/x", L"/Log", L"first.log", L"/log", L"second.log"}, L"first.log"},
        {{L"/log"}, std::wstring()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WarningLogPath(c.arguments), c.log) << c.arguments.size() << " arguments";
    }
}

TEST(WarningLogLine, IsTheBoxTextAndTheFolderAsWritten)
{
    const std::wstring text = L"删除目录失败！";
    const struct {
        const wchar_t* folder;
        const wchar_t* shown;
    } cases[] = {
        {L"C:\\ProgramData\\Start Menu\\Programs\\夸沃科技\\", L"C:\\ProgramData\\Start Menu\\Programs\\夸沃科技"},
        {L"C:\\Menu\\夸沃科技\\\\.data", L"C:\\Menu\\夸沃科技\\.data"},
        {L"\\\\server\\share\\Quorvale\\", L"\\\\server\\share\\Quorvale"},
        {L"C:\\", L"C:\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WarningLogLine(text, c.folder), text + L" " + c.shown + L"\r\n");
    }
}

}  // namespace
}  // namespace sweepon
