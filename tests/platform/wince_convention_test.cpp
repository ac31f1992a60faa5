// The CE target's code generation against Windows CE's calling convention
// and structure layout (the rules in wince_convention.h): every export's
// arguments where a CE host puts them, and the header's structures laid
// out as a CE compiler lays them out.
#include "platform/wince_convention.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

ArgumentWords g_recordedArguments;

extern "C" uint64_t RecordArguments(uint32_t r0, uint32_t r1, uint32_t r2, uint32_t r3, uint32_t s0, uint32_t s1,
                                    uint32_t s2, uint32_t s3) {
    g_recordedArguments = {{r0, r1, r2, r3}, {s0, s1, s2, s3}};
    return 0;
}

namespace {

uint32_t WordAt(const ArgumentWords &words, const std::string &place) {
    const int n = place[1] - '0';
    return place[0] == 'r' ? words.r[n] : words.stack[n];
}

TEST(WinceConventionTest, EveryArgumentTravelsWhereCeHostsPutIt) {
    for (size_t i = 0; i < kConventionRowCount; ++i) {
        const ConventionRow &row = kConventionRows[i];
        SCOPED_TRACE(row.function);
        g_recordedArguments = {};
        const ArgumentWords words = row.call();
        std::istringstream where(row.where);
        std::string argument;
        for (unsigned n = 0; where >> argument; ++n) {
            const size_t colon = argument.find(':');
            const std::string low = argument.substr(0, colon);
            EXPECT_EQ(WordAt(words, low), ConventionMarker(n, 0)) << "argument " << n << " in " << low;
            if (colon != std::string::npos) {
                const std::string high = argument.substr(colon + 1);
                EXPECT_EQ(WordAt(words, high), ConventionMarker(n, 1)) << "argument " << n << " high word in " << high;
            }
        }
    }
}

// As a CE compiler lays it out: each member at the next multiple of its
// own size (8 at most), the whole a multiple of its largest member.
TEST(WinceConventionTest, StructuresLayOutAsCeCompilersDo) {
    for (size_t i = 0; i < kLayoutRowCount; ++i) {
        const LayoutRow &row = kLayoutRows[i];
        SCOPED_TRACE(row.type);
        size_t end = 0, widest = 1;
        for (const MemberRow &member : row.members) {
            if (!member.name) break;
            const size_t align = std::min<size_t>(member.size, 8);
            const size_t offset = (end + align - 1) / align * align;
            EXPECT_EQ(member.offset, offset) << member.name;
            end = offset + member.size;
            widest = std::max(widest, align);
        }
        EXPECT_EQ(row.size, (end + widest - 1) / widest * widest);
    }
}

// Adding an export to the .def without its row here would leave its
// arguments unchecked.
TEST(WinceConventionTest, EveryExportOfTheDefHasARow) {
    std::set<std::string> rows;
    for (size_t i = 0; i < kConventionRowCount; ++i) rows.insert(kConventionRows[i].function);
    std::ifstream def(FLATPLAY_EXPORT_DEF);
    ASSERT_TRUE(def) << FLATPLAY_EXPORT_DEF;
    const std::regex line(R"(^\s+\??([A-Za-z_]\w*)\S*\s+@\d+)");
    int exports = 0;
    for (std::string text; std::getline(def, text);) {
        std::smatch m;
        if (!std::regex_search(text, m, line)) continue;
        ++exports;
        EXPECT_TRUE(rows.count(m[1].str())) << m[1].str() << " has no row in wince_convention_table.cpp";
    }
    EXPECT_GE(exports, 30);
}

} // namespace
