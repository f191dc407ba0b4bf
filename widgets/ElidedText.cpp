#include "widgets/ElidedText.h"

#include <QFontMetrics>
#include <QTextBoundaryFinder>

namespace ElidedText {

namespace {

constexpr qsizetype kMaxChars = 400;

} // namespace

QString forLabel(const QString &text, const QFontMetrics &metrics, int width)
{
    QString kept = text;
    if (text.size() > kMaxChars) {
        // Never half a character outside the Basic Multilingual Plane.
        qsizetype head = kMaxChars / 2, tail = kMaxChars / 2;
        if (text.at(head - 1).isHighSurrogate())
            --head;
        if (text.at(text.size() - tail).isLowSurrogate())
            --tail;
        kept = text.left(head) + u'…' + text.right(tail);
    }
    QString fitted;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, kept);
    qsizetype start = 0;
    while (breaks.toNextBoundary() != -1) {
        const QString piece = kept.mid(start, breaks.position() - start);
        fitted += metrics.horizontalAdvance(piece) > width
                      ? metrics.elidedText(piece, Qt::ElideMiddle, width)
                      : piece;
        start = breaks.position();
    }
    return fitted;
}

} // namespace ElidedText
