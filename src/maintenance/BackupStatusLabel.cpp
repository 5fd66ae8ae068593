#include "maintenance/BackupStatusLabel.h"

TBackupStatusLabel::TBackupStatusLabel(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("lblZaloha"));
    setAlignment(Qt::AlignCenter);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    m_pointSize = bold.pointSizeF();
}

void TBackupStatusLabel::setAlarming(bool alarming)
{
    m_alarming = alarming;
    setStyleSheet(alarming ? QStringLiteral("color: #c00000") : QString());
}

void TBackupStatusLabel::fitText(const QString& text)
{
    // a longer line (a failed check) gets a smaller letter rather than cut off
    QFont f = font();
    f.setPointSizeF(m_pointSize);
    while (width() > 0 && QFontMetrics(f).horizontalAdvance(text) > width() - 4 && f.pointSizeF() > 6)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    setFont(f);
    setText(text);
}

void TBackupStatusLabel::showStatus(const BackupStatus& status, const QDate& today)
{
    fitText(BackupStatusText(status));
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
    fitText(QStringLiteral("Prebieha automatické zálohovanie..."));
    setAlarming(false);
    setToolTip(QString());
}
