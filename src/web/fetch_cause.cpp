#include "web/fetch_cause.h"

namespace marunoki {

QString networkCause(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("接続を拒否されました");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("サーバーが接続を切りました");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("サーバーが見つかりません");
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
        return QStringLiteral("時間内に応答がありません");
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("読込みが中断されました");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("安全な接続を確立できません");
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return QStringLiteral("ネットワークに接続できません");
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("転送が多すぎます");
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("安全でない転送先です");
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return QStringLiteral("プロキシに接続できません");
    case QNetworkReply::ProtocolUnknownError:
        return QStringLiteral("対応していないアドレスです");
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::ProtocolFailure:
        return QStringLiteral("サーバーとの通信が正しくありません");
    default:
        return QStringLiteral("通信エラー");
    }
}

QString fileCause(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::OpenError:
        return QStringLiteral("ファイルが開けません");
    case QFileDevice::PermissionsError:
        return QStringLiteral("ファイルを読む権限がありません");
    case QFileDevice::ReadError:
        return QStringLiteral("ファイルを読めません");
    case QFileDevice::WriteError:
    case QFileDevice::ResizeError:
        return QStringLiteral("ファイルに書き込めません");
    default:
        return QStringLiteral("ファイルのエラー");
    }
}

QString notInArchiveCause()
{
    return QStringLiteral("保存されたページにありません");
}

}  // namespace marunoki
