#include "core/Pinyin.h"

#include <QHash>
#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace Pinyin {

namespace {

struct Readings
{
    char32_t point;
    const char *initials;
};

// Characters whose common readings start with different letters, each with those letters.
constexpr Readings kSeveralInitials[] = {
#include "HanInitials.inc"
};

// More alternatives than this make a key long for little gain: later characters then give
// their first reading's initial only.
constexpr size_t kMaxInitials = 8;
// A key fits a server's index entry whatever the name: the pinyin of a longer name is cut,
// and sets of initials that do not fit are left out.
constexpr size_t kMaxPinyin = 600;
constexpr size_t kMaxKey = 2000;

// What a key starts with, so that digits, then Latin, then Chinese names sort in that order.
constexpr char kStartsWithDigit = '!';
constexpr char kStartsWithLatin = '#';
constexpr char kStartsWithHan = '$';

// ICU's transliterator takes tens of microseconds a call, so each character is asked once per
// program run and its syllable kept.
class Syllables
{
public:
    // The toneless syllable of a Han character; empty for any other character.
    std::string of(char32_t point)
    {
        const std::lock_guard lock(m_mutex);
        const auto known = m_known.constFind(point);
        if (known != m_known.cend())
            return *known;
        std::string syllable = transliterate(point);
        m_known.insert(point, syllable);
        return syllable;
    }

private:
    std::string transliterate(char32_t point)
    {
        if (!m_transliterator) {
            UErrorCode status = U_ZERO_ERROR;
            m_transliterator.reset(icu::Transliterator::createInstance("Han-Latin; Latin-ASCII",
                                                                       UTRANS_FORWARD, status));
            if (U_FAILURE(status))
                m_transliterator.reset();
        }
        if (!m_transliterator)
            return {};
        icu::UnicodeString text(static_cast<UChar32>(point));
        m_transliterator->transliterate(text);
        std::string syllable;
        text.toUTF8String(syllable);
        const bool letters =
            !syllable.empty() && std::all_of(syllable.cbegin(), syllable.cend(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            });
        if (!letters)
            return {};
        std::transform(syllable.begin(), syllable.end(), syllable.begin(),
                       [](char c) { return char(c | 0x20); });
        return syllable;
    }

    std::mutex m_mutex;
    std::unique_ptr<icu::Transliterator> m_transliterator;
    QHash<char32_t, std::string> m_known;
};

Syllables &syllables()
{
    static Syllables instance;
    return instance;
}

bool isHan(char32_t point)
{
    return QChar::script(point) == QChar::Script_Han;
}

// The initials of every common reading of a Han character, its first reading's first.
std::string initialsOf(char32_t point, char first)
{
    std::string initials(1, first);
    const auto found =
        std::lower_bound(std::begin(kSeveralInitials), std::end(kSeveralInitials), point,
                         [](const Readings &r, char32_t p) { return r.point < p; });
    if (found != std::end(kSeveralInitials) && found->point == point) {
        for (const char *c = found->initials; *c; ++c) {
            if (*c != first)
                initials += *c;
        }
    }
    return initials;
}

bool isAsciiLetter(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

} // namespace

QString key(const QString &name)
{
    // Full-width letters and digits, and accented letters, become plain ones.
    const QString plain = name.normalized(QString::NormalizationForm_KD);
    std::string full;
    std::vector<std::string> initials{std::string()};
    char start = 0;
    for (const char32_t point : plain.toUcs4()) {
        std::string options;
        if (isAsciiDigit(point) || isAsciiLetter(point)) {
            const char c = isAsciiLetter(point) ? char(point | 0x20) : char(point);
            full += c;
            options = std::string(1, c);
            if (!start)
                start = isAsciiDigit(point) ? kStartsWithDigit : kStartsWithLatin;
        } else if (point >= 0x80 && isHan(point)) {
            const std::string syllable = syllables().of(point);
            if (syllable.empty())
                continue;
            full += syllable;
            options = initialsOf(point, syllable.front());
            if (!start)
                start = kStartsWithHan;
        } else {
            continue;
        }
        const size_t alternatives =
            initials.size() * options.size() <= kMaxInitials ? options.size() : 1;
        std::vector<std::string> next;
        next.reserve(initials.size() * alternatives);
        for (size_t o = 0; o < alternatives; ++o) {
            for (const std::string &before : initials)
                next.push_back(before + options[o]);
        }
        initials = std::move(next);
    }
    if (!start)
        return {};
    std::string key(1, start);
    key += full.substr(0, kMaxPinyin);
    for (const std::string &i : initials) {
        const std::string cut = i.substr(0, kMaxPinyin);
        if (i != full && key.size() + 1 + cut.size() <= kMaxKey)
            key += ' ' + cut;
    }
    return QString::fromLatin1(key.data(), qsizetype(key.size()));
}

QString keyTerm(const QString &typed)
{
    QString term;
    bool letter = false;
    for (const QChar c : typed) {
        if (c == u' ')
            continue;
        if (c.unicode() >= 0x80 || !c.isLetterOrNumber())
            return {};
        letter = letter || c.isLetter();
        term += c.toLower();
    }
    return letter ? term : QString();
}

bool matches(const QString &name, const QString &typed)
{
    if (name.contains(typed, Qt::CaseInsensitive))
        return true;
    const QString term = keyTerm(typed);
    return !term.isEmpty() && key(name).contains(term);
}

const std::vector<KeyedColumn> &keyedColumns()
{
    static const std::vector<KeyedColumn> columns = {
        {"GoodMain", "F_goodName", "F_goodNamePY"}, {"GoodMain", "F_CGsuppler", "F_CGsupplerPY"},
        {"GoodMain", "F_XSclient", "F_XSclientPY"}, {"T_client", "F_Name", "F_NamePY"},
        {"T_suppler", "F_Name", "F_NamePY"},        {"T_goods", "F_Name", "F_NamePY"},
        {"t_treecode", "F_name", "F_namePY"},
    };
    return columns;
}

QString keyColumn(const QString &table, const QString &column)
{
    for (const KeyedColumn &k : keyedColumns()) {
        if (table.compare(QLatin1String(k.table), Qt::CaseInsensitive) == 0 &&
            column.compare(QLatin1String(k.column), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(k.keyColumn);
    }
    return {};
}

void addKeys(const QString &table, QStringList *columns, QVariantList *values)
{
    const qsizetype written = std::min(columns->size(), values->size());
    for (qsizetype i = 0; i < written; ++i) {
        const QString keyed = keyColumn(table, columns->at(i));
        if (!keyed.isEmpty() && !columns->contains(keyed, Qt::CaseInsensitive)) {
            columns->append(keyed);
            values->append(key(values->at(i).toString()));
        }
    }
}

} // namespace Pinyin
