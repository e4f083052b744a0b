// The release lines of owned objects: written once, just before the object
// goes, and never for an empty owner.
#include <gtest/gtest.h>

#include <string>

#include "InternalLog.h"
#include "Owned.h"

using namespace tavgdi;

namespace {

struct Traced {
    ~Traced() { InternalLog::print(L"gone\r\n"); }
};

} // namespace

TEST(Owned, TheReleaseLineComesJustBeforeTheObjectGoes)
{
    struct Case {
        const char* name;
        void (*run)();
        const char* log; // pointers shown as P
    } cases[] = {
        {"logged owner", [] { Logged<Traced> t = logged(std::make_unique<Traced>(), "t"); },
         "[TAVRIN UNIDRIVER MEM] t FREE - \t\tPTR: P\r\ngone\r\n"},
        {"released owner",
         [] {
             std::unique_ptr<Traced> t = std::make_unique<Traced>();
             releaseLogged(t, "t");
             releaseLogged(t, "again"); // empty now: no line
         },
         "[TAVRIN UNIDRIVER MEM] t FREE - \t\tPTR: P\r\ngone\r\n"},
        {"empty logged owner", [] { Logged<Traced> t(nullptr, LoggedDelete{"t"}); }, ""},
        {"nameless and with a reason",
         [] {
             logFree("", nullptr);
             logFree("GRect", nullptr, "null list");
         },
         "[TAVRIN UNIDRIVER MEM] FREE - \t\tPTR: P\r\n[TAVRIN UNIDRIVER MEM] GRect FREE (null list) - \t\tPTR: P\r\n"},
    };
    const bool wasEnabled = InternalLog::isEnable;
    InternalLog::isEnable = true;
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        c.run();
        std::string log = testing::internal::GetCapturedStderr();
        for (size_t at = log.find("PTR: "); at != std::string::npos; at = log.find("PTR: ", at + 5)) {
            const size_t end = log.find('\r', at);
            log.replace(at + 5, end - at - 5, "P");
        }
        EXPECT_EQ(log, c.log) << c.name;
    }
    InternalLog::isEnable = wasEnabled;
}
