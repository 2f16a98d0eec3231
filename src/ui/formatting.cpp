#include "ui/formatting.h"

namespace brevant {

namespace {
// Formats are applied on the window thread, one document at a time; a
// guard within a guard (a highlighter called back while another applies
// its formats) restores the outer one.
const QTextDocument *formatting = nullptr;
} // namespace

FormattingOnly::FormattingOnly(const QTextDocument *document) : m_previous(formatting)
{
    formatting = document;
}

FormattingOnly::~FormattingOnly()
{
    formatting = m_previous;
}

bool FormattingOnly::active(const QTextDocument *document)
{
    return document && document == formatting;
}

} // namespace brevant
