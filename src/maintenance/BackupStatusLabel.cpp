#include "maintenance/BackupStatusLabel.h"

TBackupStatusLabel::TBackupStatusLabel(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("lblZaloha"));
    setAlignment(Qt::AlignCenter);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

void TBackupStatusLabel::setAlarming(bool alarming)
{
    m_alarming = alarming;
    setStyleSheet(alarming ? QStringLiteral("color: #c00000") : QString());
}

void TBackupStatusLabel::showStatus(const BackupStatus& status, const QDate& today)
{
    setText(BackupStatusText(status));
    setAlarming(BackupStatusAlarming(status, today));
    QString tip;
    if (status.lastCheckFailed)
        tip = QStringLiteral("Posledná kontrola zálohy (%1) zlyhala:\n%2")
                  .arg(status.lastCheck.toString(QStringLiteral("dd.MM.yyyy hh:mm")),
                       QString(status.lastProblem).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    else if (status.lastVerified.isValid())
        tip = QStringLiteral("Záloha %1 z %2 sa overila skúšobným obnovením.")
                  .arg(status.lastVerifiedFile, status.lastVerified.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    setToolTip(tip);
}

void TBackupStatusLabel::showRunning()
{
    setText(QStringLiteral("Prebieha automatické zálohovanie..."));
    setAlarming(false);
    setToolTip(QString());
}
