#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace {

constexpr int MaxValueLength = 2047;

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Names match without regard to case: the folded form is the lookup key.
QString fold(const QString& name) {
    return name.toCaseFolded();
}

// True when the line holds a control character other than a tab: binary junk, not text.
bool isJunk(const QString& line) {
    for (QChar c : line)
        if (c.unicode() < 0x20 && c != u'\t') return true;
    return false;
}

// A value as it can stand on one line and be read back as written: control characters (line breaks
// would split the line, others would make it junk) become blanks, and it is cut to the longest value
// read.
QString oneLine(QString value) {
    for (QChar& c : value)
        if (c.unicode() < 0x20 && c != u'\t') c = u' ';
    value.truncate(MaxValueLength);
    return value;
}

// UTF-16 text: true for little-endian, false for big-endian, nothing for other files. Known by its
// byte-order mark, or without one by zero bytes standing in every character of Latin text, all on
// the same side.
std::optional<bool> utf16Order(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE")) return true;
    if (bytes.startsWith("\xFE\xFF")) return false;
    qsizetype zeroEven = 0, zeroOdd = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0') ++(i % 2 ? zeroOdd : zeroEven);
    if (bytes.size() % 2 != 0) return std::nullopt;
    if (zeroEven == 0 && zeroOdd * 4 >= bytes.size() && zeroOdd > 0) return true;
    if (zeroOdd == 0 && zeroEven * 4 >= bytes.size() && zeroEven > 0) return false;
    return std::nullopt;
}

// The file's lines, each taken as UTF-8 when it is valid UTF-8 and as Latin-1 otherwise, so a line
// another program wrote in a single-byte code keeps every character beside the lines we wrote.
QStringList decodeLines(QByteArrayView bytes) {
    QStringDecoder whole(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = whole(bytes);
    if (!whole.hasError()) return text.split(u'\n');
    QStringList lines;
    for (qsizetype from = 0;;) {
        const qsizetype end = bytes.indexOf('\n', from);
        const QByteArrayView line = bytes.sliced(from, (end < 0 ? bytes.size() : end) - from);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString decoded = utf8(line);
        lines << (utf8.hasError() ? QString::fromLatin1(line) : decoded);
        if (end < 0) break;
        from = end + 1;
    }
    return lines;
}

} // namespace

IniFile::IniFile(QString fileName) : fileName_(std::move(fileName)) {
    sections_.push_back(Section{QString(), false, {}, {}});
    QFile f(fileName_);
    if (!f.exists()) return;
    if (!f.open(QIODevice::ReadOnly)) {
        unreadable_ = InSentence(f.errorString());
        return;
    }
    // One byte more than the reader takes tells a file that is too large, also one that grew meanwhile.
    const QByteArray bytes = f.read(MaxFileSize + 1);
    if (f.error() != QFileDevice::NoError) {
        unreadable_ = InSentence(f.errorString());
        return;
    }
    if (bytes.size() > MaxFileSize) {
        unreadable_ = QStringLiteral("it is larger than 1 MiB");
        return;
    }
    parse(bytes);
    reindex();
}

void IniFile::indexSection(std::size_t i) {
    Section& s = sections_[i];
    s.keys.clear();
    for (std::size_t k = 0; k < s.lines.size(); ++k) {
        if (!s.lines[k].entry) continue;
        const QString key = fold(s.lines[k].key);
        if (!s.keys.contains(key)) s.keys.insert(key, k); // the first of duplicates is the one used
    }
    if (i > 0) {
        const QString name = fold(s.name);
        if (!sectionIndex_.contains(name)) sectionIndex_.insert(name, i);
    }
}

void IniFile::reindex() {
    sectionIndex_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i) indexSection(i);
}

void IniFile::parse(const QByteArray& raw) {
    QStringList lines;
    const std::optional<bool> utf16 = utf16Order(raw);
    if (utf16) {
        QStringDecoder decode(*utf16 ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                              QStringDecoder::Flag::Stateless);
        const QString text = decode(raw);
        if (decode.hasError() || raw.size() % 2 != 0) {
            unreadable_ = QStringLiteral("it is neither UTF-8 nor UTF-16 text");
            return;
        }
        lines = text.split(u'\n');
    } else {
        qsizetype marks = 0;
        while (raw.mid(marks, 3) == "\xEF\xBB\xBF") marks += 3;
        lines = decodeLines(QByteArrayView(raw).sliced(marks));
    }
    Section* current = &sections_[0];
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty()) break; // the file's final line break
        // A byte-order mark decoded as text (a file saved several times by editors that add one).
        while (line.startsWith(QChar(0xFEFF))) line.remove(0, 1);
        if (isJunk(line)) {
            unreadable_ = QStringLiteral("it holds lines that are not text");
            continue;
        }
        const QString t = line.trimmed();
        if (t.startsWith(u'[')) {
            const qsizetype close = t.indexOf(u']');
            if (close > 0) {
                sections_.push_back(Section{t.mid(1, close - 1).trimmed(), true, {}, {}});
                current = &sections_.back();
                continue;
            }
        }
        Line l;
        const qsizetype eq = t.indexOf(u'=');
        if (eq > 0 && !t.startsWith(u';')) {
            l.entry = true;
            l.key = t.left(eq).trimmed();
            l.value = t.mid(eq + 1).trimmed();
            l.entry = !l.key.isEmpty();
        }
        if (!l.entry) l.text = line;
        current->lines.push_back(std::move(l));
    }
}

QByteArray IniFile::serialize() const {
    QString out;
    for (const Section& s : sections_) {
        if (s.header) out += QStringLiteral("[") + s.name + QStringLiteral("]\n");
        for (const Line& l : s.lines) {
            if (l.entry)
                // A key that begins with a byte-order mark gets a blank before it: at the start of
                // a line the reader would take the mark for the file's own and lose the key.
                out += (l.key.startsWith(QChar(0xFEFF)) ? QStringLiteral(" ") : QString()) + l.key + u'=' +
                       l.value + u'\n';
            else
                out += l.text + u'\n';
        }
    }
    return out.toUtf8();
}

const IniFile::Section* IniFile::findSection(const QString& name) const {
    const auto it = sectionIndex_.constFind(fold(name.trimmed()));
    return it == sectionIndex_.constEnd() ? nullptr : &sections_[*it];
}

IniFile::Section* IniFile::findSection(const QString& name) {
    return const_cast<Section*>(static_cast<const IniFile*>(this)->findSection(name));
}

const IniFile::Line* IniFile::findKey(const Section& s, const QString& key) {
    const auto it = s.keys.constFind(fold(key.trimmed()));
    return it == s.keys.constEnd() ? nullptr : &s.lines[*it];
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    const Section* s = findSection(section);
    const Line* l = s ? findKey(*s, key) : nullptr;
    if (!l) return def;
    return l->value.left(MaxValueLength);
}

bool IniFile::ParseInteger(const QString& text, int& value) {
    const QString t = text.trimmed();
    QStringView digits;
    if (t.startsWith(u"0x", Qt::CaseInsensitive))
        digits = QStringView(t).mid(2);
    else if (t.startsWith(u'$'))
        digits = QStringView(t).mid(1);
    if (!digits.isNull()) {
        if (digits.isEmpty() || digits.size() > 8) return false;
        for (QChar c : digits)
            if (!std::isxdigit(static_cast<unsigned char>(c.toLatin1())) || c.unicode() > 127) return false;
        bool ok = false;
        const qulonglong v = digits.toULongLong(&ok, 16);
        if (!ok) return false;
        value = static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
        return true;
    }
    if (t.isEmpty()) return false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && (c == u'-' || c == u'+'))) return false;
    }
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (!ok) return false;
    value = v;
    return true;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    int v = 0;
    return ParseInteger(ReadString(section, key, QString()), v) ? v : def;
}

bool IniFile::ParseFloat(const QString& text, double& value) {
    QString t = text.trimmed();
    t.replace(u',', u'.');
    if (t.isEmpty()) return false;
    // Only plain decimal notation with an optional exponent; words such as "nan" or "inf" are junk.
    for (QChar c : t) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'+' || u == u'e' || u == u'E'))
            return false;
    }
    bool ok = false;
    const double v = t.toDouble(&ok); // QString::toDouble always uses the C locale
    if (!ok || !std::isfinite(v)) return false;
    value = v;
    return true;
}

double IniFile::ReadFloat(const QString& section, const QString& key, double def) const {
    double v = 0;
    return ParseFloat(ReadString(section, key, QString()), v) ? v : def;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::SectionExists(const QString& section) const {
    return findSection(section) != nullptr;
}

bool IniFile::ValueExists(const QString& section, const QString& key) const {
    const Section* s = findSection(section);
    return s && findKey(*s, key);
}

QStringList IniFile::ReadSection(const QString& section) const {
    QStringList keys;
    const Section* s = findSection(section);
    if (!s) return keys;
    for (std::size_t k = 0; k < s->lines.size(); ++k) {
        const Line& l = s->lines[k];
        if (l.entry && s->keys.value(fold(l.key)) == k) keys << l.key; // the first of duplicates
    }
    return keys;
}

QStringList IniFile::ReadSections() const {
    QStringList names;
    for (std::size_t i = 1; i < sections_.size(); ++i)
        if (sectionIndex_.value(fold(sections_[i].name)) == i) names << sections_[i].name;
    return names;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    Section* s = findSection(section);
    if (!s) {
        // A blank line separates the new section from what comes before it.
        Section& last = sections_.back();
        const bool empty = sections_.size() == 1 && last.lines.empty();
        if (!empty &&
            !(!last.lines.empty() && !last.lines.back().entry && last.lines.back().text.trimmed().isEmpty()))
            last.lines.push_back(Line{});
        sections_.push_back(Section{section.trimmed(), true, {}, {}});
        sectionIndex_.insert(fold(section.trimmed()), sections_.size() - 1);
        s = &sections_.back();
    }
    if (const auto it = s->keys.constFind(fold(key.trimmed())); it != s->keys.constEnd()) {
        s->lines[*it].value = oneLine(value);
        return;
    }
    // After the last key of the section, so trailing blank lines stay between the sections.
    std::size_t at = s->lines.size();
    while (at > 0 && !s->lines[at - 1].entry && s->lines[at - 1].text.trimmed().isEmpty()) --at;
    Line l;
    l.entry = true;
    l.key = key.trimmed();
    l.value = oneLine(value);
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(l));
    // Only blank lines followed the insertion point, so every indexed entry keeps its index.
    s->keys.insert(fold(key.trimmed()), at);
}

void IniFile::written() {
    if (!deferred_) UpdateFile();
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    setValue(section, key, value);
    written();
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

QString IniFile::FormatFloat(double value) {
    return FloatText(value);
}

void IniFile::WriteFloat(const QString& section, const QString& key, double value) {
    WriteString(section, key, FormatFloat(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::EraseSection(const QString& section) {
    for (std::size_t i = sections_.size(); i-- > 1;)
        if (same(sections_[i].name, section))
            sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(i));
    reindex();
    written();
}

void IniFile::DeleteKey(const QString& section, const QString& key) {
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        if (!same(sections_[i].name, section)) continue;
        auto& lines = sections_[i].lines;
        std::erase_if(lines, [&](const Line& l) { return l.entry && same(l.key, key); });
        indexSection(i);
    }
    written();
}

void IniFile::UpdateFile() {
    const QByteArray bytes = serialize();
    // What is written must be read back: a file past the read limit would read as unreadable.
    if (bytes.size() > MaxFileSize)
        throw std::runtime_error(
            QStringLiteral("Unable to write to %1: it would be larger than 1 MiB, the most "
                           "a settings file may hold")
                .arg(fileName_)
                .toStdString());
    if (!unreadable_.isEmpty() && QFileInfo::exists(fileName_)) KeepUnreadableCopy();
    QString why;
    if (!WriteFileAtomically(fileName_, bytes, &why, false))
        throw std::runtime_error(
            QStringLiteral("Unable to write to %1: %2").arg(fileName_, InSentence(why)).toStdString());
}

QString IniFile::KeepUnreadableCopy() {
    QString copy = fileName_ + QStringLiteral(".unreadable");
    for (int n = 2; QFileInfo(copy).exists() || QFileInfo(copy).isSymLink(); ++n) {
        if (n > 1000)
            throw std::runtime_error(QStringLiteral("Unable to keep %1").arg(fileName_).toStdString());
        copy = fileName_ + QStringLiteral(".unreadable-%1").arg(n);
    }
    const QByteArray from = QFile::encodeName(fileName_);
    if (::rename(from.constData(), QFile::encodeName(copy).constData()) != 0)
        throw std::runtime_error(
            QStringLiteral("Unable to keep %1 as %2: %3")
                .arg(fileName_, copy, InSentence(QString::fromLocal8Bit(std::strerror(errno))))
                .toStdString());
    unreadable_.clear();
    keptCopy_ = copy;
    return copy;
}
