#include "shell/core/TextRules.h"

#include <gtest/gtest.h>

namespace {

QString u(std::initializer_list<char16_t> units) {
    QString s;
    for (char16_t c : units)
        s.append(QChar(c));
    return s;
}

const QString kControl = QStringLiteral("学生姓名不能包含换行符或控制字符，请重做！");
const QString kBidi = QStringLiteral("学生姓名不能包含文字方向控制符，请重做！");
const QString kInvalid = QStringLiteral("学生姓名含有无效的字符，请重做！");
const QString kLong = QStringLiteral("学生姓名不能超过50个字符，请重做！");

} // namespace

// Every class of character a name must not hold, and the ones it may.
TEST(TextRules, NamesRefuseControlsBidiMarksAndInvalidCharacters) {
    const struct {
        const char* what;
        QString name;
        QString message;
    } cases[] = {
        {"plain", QStringLiteral("王伟"), {}},
        {"inner blank", QStringLiteral("欧阳 娜娜"), {}},
        {"middle dot", QStringLiteral("买买提·艾力"), {}},
        {"outside the basic plane", QStringLiteral("𠀋😀"), {}},
        {"U+FEFF is only invisible", u({0x738B, 0xFEFF}), {}},
        {"line feed", u({0x738B, '\n', 0x4F1F}), kControl},
        {"carriage return", u({0x738B, '\r'}), kControl},
        {"tab", u({'\t', 0x738B}), kControl},
        {"NUL", u({0x738B, 0}), kControl},
        {"escape", u({0x1B, '[', '3', '1', 'm'}), kControl},
        {"DEL", u({0x738B, 0x7F}), kControl},
        {"C1 next line", u({0x738B, 0x85}), kControl},
        {"line separator", u({0x738B, 0x2028}), kControl},
        {"paragraph separator", u({0x2029}), kControl},
        {"right-to-left override", u({0x202E, 0x4F1F, 0x738B}), kBidi},
        {"left-to-right embedding", u({0x202A, 0x738B}), kBidi},
        {"pop directional", u({0x738B, 0x202C}), kBidi},
        {"first strong isolate", u({0x2068, 0x738B}), kBidi},
        {"pop isolate", u({0x738B, 0x2069}), kBidi},
        {"right-to-left mark", u({0x738B, 0x200F}), kBidi},
        {"left-to-right mark", u({0x200E, 0x738B}), kBidi},
        {"U+FFFE", u({0x738B, 0xFFFE}), kInvalid},
        {"U+FFFF", u({0xFFFF}), kInvalid},
        {"U+FDD0", u({0x738B, 0xFDD0}), kInvalid},
        {"U+1FFFE", u({0xD83F, 0xDFFE}), kInvalid},
        {"lone high surrogate", u({0x738B, 0xD800}), kInvalid},
        {"lone low surrogate", u({0xDC00, 0x738B}), kInvalid},
        {"50 characters", QStringLiteral("伟").repeated(50), {}},
        {"50 characters outside the basic plane", QStringLiteral("😀").repeated(50), {}},
        {"51 characters", QStringLiteral("伟").repeated(51), kLong},
        {"100,000 characters", QStringLiteral("伟").repeated(100000), kLong},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shell::nameProblem(c.name, QStringLiteral("学生姓名"), 50), c.message) << c.what;
}

TEST(TextRules, XmlTextKeepsOnlyWhatXmlCarries) {
    const struct {
        const char* what;
        QString in, out;
    } cases[] = {
        {"plain", QStringLiteral("张三 84.5"), QStringLiteral("张三 84.5")},
        {"tab, line feed, carriage return stay", u({'a', '\t', 'b', '\n', 'c', '\r'}),
         u({'a', '\t', 'b', '\n', 'c', '\r'})},
        {"C0 controls go", u({'a', 0, 'b', 0x1, 0x8, 0xB, 0xC, 0x1F, 'c'}), QStringLiteral("abc")},
        {"U+FFFE and U+FFFF go", u({0x738B, 0xFFFE, 0x4F1F, 0xFFFF}), u({0x738B, 0x4F1F})},
        {"unpaired surrogates go", u({0xD800, 'a', 0xDC00, 'b', 0xDBFF}), QStringLiteral("ab")},
        {"pairs stay", QStringLiteral("𠀋😀"), QStringLiteral("𠀋😀")},
        {"DEL, C1, U+FDD0, U+1FFFE are XML characters", u({0x7F, 0x85, 0xFDD0, 0xD83F, 0xDFFE}),
         u({0x7F, 0x85, 0xFDD0, 0xD83F, 0xDFFE})},
        {"U+FFFD stays", u({0xFFFD}), u({0xFFFD})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shell::xmlText(c.in), c.out) << c.what;
}
