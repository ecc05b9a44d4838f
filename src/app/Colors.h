#pragma once
// Colour values as the settings files keep them: bytes running blue, green,
// red (0x0000FF is red).
#include <QColor>
#include <QWidget>

inline QColor bgrColor(quint32 v)
{
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}
inline quint32 toBgr(const QColor &c)
{
    return static_cast<quint32>(c.red()) | (static_cast<quint32>(c.green()) << 8) |
           (static_cast<quint32>(c.blue()) << 16);
}

namespace UiColors {
constexpr quint32 DialogNormal = 0xC0C000; // message line
constexpr quint32 DialogDupe = 0x0000FF;   // red
constexpr quint32 CurrentBand = 0x000080;  // dark red
constexpr quint32 OtherBand = 0x800000;    // navy
} // namespace UiColors

// Paints a widget's background; an invalid colour returns it to the
// system's button face.
inline void setBackground(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    if (c.isValid())
        p.setColor(QPalette::Window, c);
    else
        p.setColor(QPalette::Window, w->style() ? QPalette().color(QPalette::Button)
                                                : QColor(Qt::lightGray));
    w->setAutoFillBackground(true);
    w->setPalette(p);
}
inline void setTextColor(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    w->setPalette(p);
}
inline QColor backgroundOf(const QWidget *w) { return w->palette().color(QPalette::Window); }
