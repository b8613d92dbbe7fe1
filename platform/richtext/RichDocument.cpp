#include "platform/richtext/RichDocument.h"

namespace vyn {

QString RichParagraph::Text() const
{
    QString s;
    for (const RichRun& r : runs)
        s += r.text;
    return s;
}

void RichDocument::AppendParagraph(const RichParaFormat& format)
{
    m_paras.push_back(RichParagraph{format, {}});
}

void RichDocument::AppendText(const QString& text, const RichCharFormat& format)
{
    if (text.isEmpty())
        return;
    if (m_paras.empty())
        AppendParagraph();
    std::vector<RichRun>& runs = m_paras.back().runs;
    if (!runs.empty() && runs.back().format == format)
        runs.back().text += text;
    else
        runs.push_back(RichRun{text, format});
}

QString RichDocument::PlainText() const
{
    QString s;
    for (size_t i = 0; i < m_paras.size(); ++i) {
        if (i)
            s += QLatin1Char('\n');
        for (const RichRun& r : m_paras[i].runs)
            s += r.text;
    }
    return s;
}

} // namespace vyn
