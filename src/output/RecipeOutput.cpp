#include "output/RecipeOutput.h"

#include "common/QtText.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>
#include <QTextLayout>

#include <algorithm>

namespace sapidoro {

QString RecipeBufferText(const std::vector<std::string> &entries) {
    QString text;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) text += u'\n';
        text += FromCp1252(entries[i]);
    }
    return text;
}

QStringList WrappedLines(const QTextDocument &document) {
    document.size();  // lays the whole document out
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout *layout = block.layout();
        if (layout == nullptr || layout->lineCount() == 0) {
            lines.append(text);
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.append(text.mid(line.textStart(), line.textLength()));
        }
    }
    return lines;
}

QString ClipboardText(const QStringList &lines) {
    return lines.join(QStringLiteral("\r\n"));
}

std::unique_ptr<QTextDocument> PrintableCopy(const QTextDocument &buffer, double wrapWidth,
                                             QSizeF pageSize) {
    std::unique_ptr<QTextDocument> copy(buffer.clone());
    copy->setDefaultFont(buffer.defaultFont());
    copy->setPageSize(pageSize);
    // The text keeps the buffer's line breaks: the room right of its wrap width stays empty.
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    const double unused = std::max(0.0, pageSize.width() - wrapWidth);
    frame.setRightMargin(frame.rightMargin() + unused);
    copy->rootFrame()->setFrameFormat(frame);
    return copy;
}

}  // namespace sapidoro
