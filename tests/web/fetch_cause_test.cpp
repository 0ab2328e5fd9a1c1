// The causes of failed fetches the user reads: in Japanese, never Qt's English.

#include "web/fetch_cause.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace marunoki {
namespace {

bool hasLatinWords(const QString &text)
{
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
}

TEST(FetchCause, NetworkFailuresAreNamedInJapanese)
{
    const QNetworkReply::NetworkError errors[] = {QNetworkReply::ConnectionRefusedError,
        QNetworkReply::RemoteHostClosedError, QNetworkReply::HostNotFoundError, QNetworkReply::TimeoutError,
        QNetworkReply::OperationCanceledError, QNetworkReply::SslHandshakeFailedError,
        QNetworkReply::TemporaryNetworkFailureError, QNetworkReply::TooManyRedirectsError,
        QNetworkReply::ProxyNotFoundError, QNetworkReply::ProtocolUnknownError,
        QNetworkReply::ProtocolFailure, QNetworkReply::ContentNotFoundError,
        QNetworkReply::UnknownServerError, QNetworkReply::UnknownNetworkError};
    for (const QNetworkReply::NetworkError error : errors) {
        const QString cause = networkCause(error);
        EXPECT_FALSE(cause.isEmpty()) << int(error);
        EXPECT_FALSE(hasLatinWords(cause)) << int(error) << cause.toStdString();
    }
    // The causes a user meets most tell apart what went wrong.
    EXPECT_NE(
        networkCause(QNetworkReply::ConnectionRefusedError), networkCause(QNetworkReply::HostNotFoundError));
    EXPECT_NE(
        networkCause(QNetworkReply::HostNotFoundError), networkCause(QNetworkReply::ProtocolUnknownError));
}

TEST(FetchCause, FileFailuresAreNamedInJapanese)
{
    const QFileDevice::FileError errors[] = {QFileDevice::OpenError, QFileDevice::PermissionsError,
        QFileDevice::ReadError, QFileDevice::WriteError, QFileDevice::UnspecifiedError};
    for (const QFileDevice::FileError error : errors) {
        EXPECT_FALSE(fileCause(error).isEmpty()) << int(error);
        EXPECT_FALSE(hasLatinWords(fileCause(error))) << int(error);
    }
    EXPECT_FALSE(hasLatinWords(notInArchiveCause()));
}

}  // namespace
}  // namespace marunoki
