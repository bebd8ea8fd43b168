// Cell widths and the ellipsis of toolkit text.
#include <gtest/gtest.h>

#include "ui/UI_Text.h"

namespace {

TEST(Text, WideCharactersTakeTwoCells) {
    const std::string name = "\xC3\x84rger \xD0\xBC\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBB\xD1\x8C "
                             "\xE6\xA8\xA1\xE5\x9E\x8B.vox";  // Ärger модель 模型.vox
    EXPECT_EQ(UI_TextColumns(name), 6 + 7 + 4 + 4);
    // Column 14 is the middle of 模: the nearer boundary is after it.
    const int afterFirstWide = int(name.find("\xE5\x9E\x8B"));
    EXPECT_EQ(UI_OffsetAtColumn(name, 14.1f), afterFirstWide);
    EXPECT_EQ(UI_ColumnsBefore(name, afterFirstWide), 15);
}

TEST(Text, EllipsisKeepsTheExtension) {
    const std::string name = "\xC3\x84rger \xD0\xBC\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBB\xD1\x8C "
                             "\xE6\xA8\xA1\xE5\x9E\x8B.vox";
    const struct Case {
        std::string text;
        int columns;
        bool keepEnd;
        std::string expected;
    } cases[] = {
        {name, 16, true, "\xC3\x84rger \xD0\xBC\xD0\xBE\xD0\xB4\xE2\x80\xA6\xE5\x9E\x8B.vox"},  // Ärger mod…型.vox
        {name, 21, true, name},                                                             // fits
        {"a long caption text", 8, true, "a long \xE2\x80\xA6"},                            // no extension
        {"abcdef.vox", 3, true, "ab\xE2\x80\xA6"},                                          // no room for it
    };
    for (const Case& c : cases) {
        const std::string shown = UI_Ellipsize(c.text, c.columns, c.keepEnd);
        EXPECT_EQ(shown, c.expected) << c.text;
        EXPECT_LE(UI_TextColumns(shown), c.columns) << c.text;
    }
}

}  // namespace
