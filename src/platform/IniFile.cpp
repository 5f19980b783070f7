#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include "platform/SafeFile.h"

#include <QFile>
#include <QStringDecoder>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace {

constexpr qint64 MaxIniFileSize = 16 * 1024 * 1024; // larger files are not settings files
constexpr int MaxValueLength = 2047;

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// True when the line holds a control character other than a tab: binary junk, not text.
bool isJunk(const QString& line) {
    for (QChar c : line)
        if (c.unicode() < 0x20 && c != u'\t') return true;
    return false;
}

QString oneLine(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

} // namespace

IniFile::IniFile(QString fileName) : fileName_(std::move(fileName)) {
    sections_.push_back(Section{QString(), false, {}});
    QFile f(fileName_);
    if (!f.open(QIODevice::ReadOnly)) return;
    if (f.size() > MaxIniFileSize) return;
    const QByteArray bytes = f.read(MaxIniFileSize + 1);
    if (bytes.size() > MaxIniFileSize) return;
    parse(bytes);
}

void IniFile::parse(const QByteArray& raw) {
    QByteArray bytes = raw;
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    // UTF-8 when the file is valid UTF-8; otherwise a single-byte file, read as Latin-1 so that no
    // byte is lost.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);

    Section* current = &sections_[0];
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty()) break; // the file's final line break
        if (isJunk(line)) continue;
        const QString t = line.trimmed();
        if (t.startsWith(u'[')) {
            const qsizetype close = t.indexOf(u']');
            if (close > 0) {
                sections_.push_back(Section{t.mid(1, close - 1).trimmed(), true, {}});
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
                out += l.key + u'=' + l.value + u'\n';
            else
                out += l.text + u'\n';
        }
    }
    return out.toUtf8();
}

const IniFile::Section* IniFile::findSection(const QString& name) const {
    for (std::size_t i = 1; i < sections_.size(); ++i)
        if (same(sections_[i].name, name)) return &sections_[i];
    return nullptr;
}

IniFile::Section* IniFile::findSection(const QString& name) {
    return const_cast<Section*>(static_cast<const IniFile*>(this)->findSection(name));
}

const IniFile::Line* IniFile::findKey(const Section& s, const QString& key) {
    for (const Line& l : s.lines)
        if (l.entry && same(l.key, key)) return &l;
    return nullptr;
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
    for (const Line& l : s->lines)
        if (l.entry && !keys.contains(l.key, Qt::CaseInsensitive)) keys << l.key;
    return keys;
}

QStringList IniFile::ReadSections() const {
    QStringList names;
    for (std::size_t i = 1; i < sections_.size(); ++i)
        if (!names.contains(sections_[i].name, Qt::CaseInsensitive)) names << sections_[i].name;
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
        sections_.push_back(Section{section.trimmed(), true, {}});
        s = &sections_.back();
    }
    for (Line& l : s->lines) {
        if (l.entry && same(l.key, key)) {
            l.value = oneLine(value);
            return;
        }
    }
    // After the last key of the section, so trailing blank lines stay between the sections.
    std::size_t at = s->lines.size();
    while (at > 0 && !s->lines[at - 1].entry && s->lines[at - 1].text.trimmed().isEmpty()) --at;
    Line l;
    l.entry = true;
    l.key = key.trimmed();
    l.value = oneLine(value);
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(l));
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    setValue(section, key, value);
    UpdateFile();
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
    UpdateFile();
}

void IniFile::DeleteKey(const QString& section, const QString& key) {
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        if (!same(sections_[i].name, section)) continue;
        auto& lines = sections_[i].lines;
        std::erase_if(lines, [&](const Line& l) { return l.entry && same(l.key, key); });
    }
    UpdateFile();
}

void IniFile::UpdateFile() {
    if (!WriteFileAtomically(fileName_, serialize(), nullptr, false))
        throw std::runtime_error(QStringLiteral("Unable to write to %1").arg(fileName_).toStdString());
}
