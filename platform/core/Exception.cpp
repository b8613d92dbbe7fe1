#include "platform/core/Exception.h"

namespace vyn {

Exception::Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

void Exception::SetMessage(const QString& message)
{
    m_message = message;
    m_utf8 = message.toUtf8();
}

void Abort()
{
    throw EAbort(QStringLiteral("Operation aborted"));
}

} // namespace vyn
