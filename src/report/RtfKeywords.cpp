#include "report/RtfKeywords.h"

#include <QHash>
#include <QSet>

namespace report {

namespace RtfKeywords {

bool isSkippedDestination(const QByteArray &word) {
    static const QSet<QByteArray> words = {
        "stylesheet",
        "info",
        "pict",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "fldinst",
        "objdata",
        "objclass",
        "listtable",
        "listoverridetable",
        "revtbl",
        "rsidtbl",
        "themedata",
        "colorschememapping",
        "datastore",
        "latentstyles",
        "xmlnstbl",
        "generator",
        "filetbl",
        "pgdsctbl",
        "template",
        "annotation",
        "atnid",
        "atnauthor",
        "shp",
        "shppict",
        "nonshppict",
        "userprops",
        "docvar",
        "xe",
        "tc",
        "txe",
        "private",
        "bkmkstart",
        "bkmkend",
        "comment",
        "pn",
    };
    return words.contains(word);
}

std::optional<char16_t> specialCharacter(const QByteArray &word) {
    static const QHash<QByteArray, char16_t> chars = {
        {"tab", u'\t'},      {"line", 0x2028},    {"emdash", 0x2014},    {"endash", 0x2013},
        {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},   {"bullet", 0x2022},
        {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
        {"cell", u'\t'},
    };
    const auto it = chars.constFind(word);
    return it == chars.constEnd() ? std::nullopt : std::optional<char16_t>(*it);
}

bool isUnderline(const QByteArray &word) {
    static const QSet<QByteArray> words = {
        "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
        "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
        "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave",
    };
    return words.contains(word);
}

} // namespace RtfKeywords

} // namespace report
