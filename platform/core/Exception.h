#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace vyn {

// Root of every error Vyn raises. The message is what the user sees in a message box.
class Exception : public std::exception
{
public:
    explicit Exception(QString message);
    const QString& Message() const { return m_message; }
    void SetMessage(const QString& message);
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

#define VYN_EXCEPTION(Name, Base)                                                                  \
    class Name : public Base                                                                       \
    {                                                                                              \
    public:                                                                                        \
        using Base::Base;                                                                          \
    };

VYN_EXCEPTION(EAbort, Exception)
VYN_EXCEPTION(EConvertError, Exception)
VYN_EXCEPTION(EVariantError, Exception)
VYN_EXCEPTION(EInvalidOperation, Exception)
VYN_EXCEPTION(EInvalidCast, Exception)
VYN_EXCEPTION(EListError, Exception)
VYN_EXCEPTION(EStringListError, Exception)
VYN_EXCEPTION(EComponentError, Exception)
VYN_EXCEPTION(EClassNotFound, Exception)
VYN_EXCEPTION(EPropertyError, Exception)
VYN_EXCEPTION(EStreamError, Exception)
VYN_EXCEPTION(EFilerError, EStreamError)
VYN_EXCEPTION(EReadError, EFilerError)
VYN_EXCEPTION(EWriteError, EFilerError)
VYN_EXCEPTION(EFOpenError, EStreamError)
VYN_EXCEPTION(EFCreateError, EStreamError)
VYN_EXCEPTION(EUnitError, Exception)
VYN_EXCEPTION(EDatabaseError, Exception)
VYN_EXCEPTION(EPrinter, Exception)
VYN_EXCEPTION(EOutOfResources, Exception)

// Silent exception: stops an operation without a message box.
[[noreturn]] void Abort();

} // namespace vyn
