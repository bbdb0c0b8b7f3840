#include "DMPropertyListSplitter.h"

#include <gtest/gtest.h>

namespace {

// Where each marker is found, each after the one before.
QList<qsizetype> positionsOf(const QByteArray &text, qsizetype from, const QList<QByteArray> &markers)
{
    QList<qsizetype> positions;
    for (const QByteArray &marker : markers)
        positions.append(from = text.indexOf(marker, from));
    return positions;
}

} // namespace

// Only the root dictionary's own array is split, at each of its elements, whatever their form
// (quoted values in tags are read through, as the parser reads them); arrays under the same key
// deeper down, or under other keys, are left inside their elements.
TEST(DMPropertyListSplitter, FindsEachElementOfTheRootDictionarysArray)
{
    const QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                            "<plist version=\"1.0\">\n<dict>\n"
                            "\t<key>a</key><dict><key>tasks</key><array><string>deep</string></array></dict>\n"
                            "\t<key>list</key><array><integer>1</integer></array>\n"
                            "\t<key>t&amp;sks</key><array><integer>2</integer></array>\n"
                            "\t<key>tasks</key>\n\t<array>\r\n"
                            "\t\t<true/>\n"
                            "\t\t<dict><key>tasks</key><array><false/></array><key>n</key><integer>3</integer></dict>\n"
                            "\t\t<string>&lt;dict&gt; &amp; text</string>"
                            "<array/>"
                            "<dict>\n\t\t</dict>\n"
                            "\t\t<string a=\"/>\">quoted</string><true b=\">\"/><dict c=\"</dict>\"></dict d=\">\">\n"
                            "\t</array>\n"
                            "\t<key>z</key><array><string>after</string></array>\n"
                            "</dict>\n</plist>\n";
    DMPropertyListSplitter::Span span;
    ASSERT_TRUE(DMPropertyListSplitter::findRootArray(text, "tasks", &span));
    EXPECT_EQ(span.contentBegin, text.indexOf("<array>\r\n") + 7);
    EXPECT_EQ(span.contentEnd, text.indexOf("\t</array>\n\t<key>z") + 1);
    EXPECT_EQ(span.elementStarts, positionsOf(text, span.contentBegin, {"<true/>", "<dict><key>tasks", "<string>&lt;", "<array/>", "<dict>\n",
                                                                       "<string a=", "<true b=", "<dict c="}));

    // Other root keys are found the same way; a key is matched as written.
    ASSERT_TRUE(DMPropertyListSplitter::findRootArray(text, "z", &span));
    EXPECT_EQ(span.elementStarts, positionsOf(text, 0, {"<string>after"}));
    EXPECT_FALSE(DMPropertyListSplitter::findRootArray(text, "n", &span));
    EXPECT_FALSE(DMPropertyListSplitter::findRootArray(text, "t&sks", &span));
}

// Whatever the parser might read otherwise than a plain scan of tags does, and an array that is
// not there to split, leaves the list whole.
TEST(DMPropertyListSplitter, LeavesWholeWhatItCannotSplitPlainly)
{
    const auto list = [](const QByteArray &entries) { return "<plist><dict>" + entries + "</dict></plist>"; };
    const QByteArray elements = "<true/><string>x</string>";
    const struct
    {
        const char *name;
        QByteArray text;
    } cases[] = {
        {"comment between elements", list("<key>tasks</key><array><true/><!-- x --><false/></array>")},
        {"comment inside an element", list("<key>tasks</key><array><string>a<!-- x -->b</string></array>")},
        {"comment before the array", list("<!-- x --><key>tasks</key><array>" + elements + "</array>")},
        {"character data", list("<key>tasks</key><array><string><![CDATA[<x>]]></string></array>")},
        {"processing instruction in the root", list("<?x y?><key>tasks</key><array>" + elements + "</array>")},
        {"internal document type subset",
         "<!DOCTYPE plist [<!ENTITY e \"x\">]><plist><dict><key>tasks</key><array>" + elements + "</array></dict></plist>"},
        {"text between elements", list("<key>tasks</key><array><true/>x<false/></array>")},
        {"text before the first element", list("<key>tasks</key><array>x<true/></array>")},
        {"text after the last element", list("<key>tasks</key><array><true/> x </array>")},
        {"not an array", list("<key>tasks</key><dict><key>a</key><true/></dict>")},
        {"a string", list("<key>tasks</key><string>x</string>")},
        {"an empty element array", list("<key>tasks</key><array/>")},
        {"an array without elements", list("<key>tasks</key><array> </array>")},
        {"only deeper down", list("<key>a</key><dict><key>tasks</key><array>" + elements + "</array></dict>")},
        {"a root array", "<plist><array><string>tasks</string><array>" + elements + "</array></array></plist>"},
        {"a key that is not closed as one", list("<key>tasks</string><array>" + elements + "</array>")},
        {"a tag that never ends", "<plist><dict><key>tasks</key><array><true/><false"},
        {"an array that never ends", "<plist><dict><key>tasks</key><array>" + elements},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DMPropertyListSplitter::Span span;
        EXPECT_FALSE(DMPropertyListSplitter::findRootArray(c.text, "tasks", &span));
    }
}
