#include "platform/NumberText.h"

#include <QLocale>

#include <cfloat>
#include <cmath>
#include <stdexcept>

namespace {

bool IsAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// The text with '.' as its separator when it is a plain decimal number, else an empty string.
QString PlainDecimal(const QString& text) {
    const QString t = text.trimmed();
    const QChar localeSep = QLocale().decimalPoint().isEmpty() ? QChar(u'.') : QLocale().decimalPoint()[0];
    QString out;
    out.reserve(t.size());
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) out += t[i++];
    int digits = 0;
    bool separator = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (IsAsciiDigit(c)) {
            ++digits;
            out += c;
        } else if (!separator && (c == u'.' || c == u',' || c == localeSep)) {
            separator = true;
            out += u'.';
        } else {
            break;
        }
    }
    if (digits == 0) return QString();
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        out += u'e';
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) out += t[i++];
        int expDigits = 0;
        for (; i < t.size() && IsAsciiDigit(t[i]); ++i, ++expDigits) out += t[i];
        if (expDigits == 0) return QString();
    }
    return i == t.size() ? out : QString();
}

} // namespace

bool TextToInt(const QString& text, int& value) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    qsizetype i = t[0] == u'+' || t[0] == u'-' ? 1 : 0;
    if (i == t.size()) return false;
    for (qsizetype k = i; k < t.size(); ++k)
        if (!IsAsciiDigit(t[k])) return false;
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (!ok) return false;
    value = v;
    return true;
}

bool TextToDouble(const QString& text, double& value) {
    const QString plain = PlainDecimal(text);
    if (plain.isEmpty()) return false;
    bool ok = false;
    const double v = plain.toDouble(&ok); // always the C locale: the separator is '.' by now
    if (!ok || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool TextToSingle(const QString& text, float& value) {
    double v = 0;
    if (!TextToDouble(text, v) || std::fabs(v) > FLT_MAX) return false;
    value = static_cast<float>(v);
    return true;
}

int StrToInt(const QString& text) {
    int v = 0;
    if (!TextToInt(text, v))
        throw std::runtime_error(QString("'%1' is not a valid integer value").arg(text).toStdString());
    return v;
}

double StrToFloat(const QString& text) {
    double v = 0;
    if (!TextToDouble(text, v))
        throw std::runtime_error(QString("'%1' is not a valid floating point value").arg(text).toStdString());
    return v;
}

float StrToSingle(const QString& text) {
    float v = 0;
    if (!TextToSingle(text, v))
        throw std::runtime_error(QString("'%1' is not a valid floating point value").arg(text).toStdString());
    return v;
}

QString FloatText(double value) {
    return QString::asprintf("%.15g", value);
}

QString TwoDecimals(double value) {
    return QString::asprintf("%1.2f", value);
}
