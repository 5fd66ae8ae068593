#include "controls/fDBGridQDLFind.h"

#include "controls/DbGridQDL.h"
#include "framework/SettingsRoots.h"
#include "framework/UiHelpers.h"
#include "framework/UserSettings.h"
#include "framework/WindowPlacement.h"
#include "platform/Sound.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QColor kAqua(0, 255, 255);
constexpr int kDesignWidth = 347;
constexpr int kDesignHeight = 100;

QWidget* makePage(const QString& caption, QWidget* edit)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(edit);
    return page;
}

}  // namespace

QString& TfrmDBGridQDLFind::lastSearchText()
{
    static QString text;
    return text;
}

QString TfrmDBGridQDLFind::settingsKey()
{
    return QString(settingsroot::Quendel) + QStringLiteral("\\TfrmDBGridQDLFind");
}

QString TfrmDBGridQDLFind::soundFile()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Sounds/Oops.Wav"));
}

TfrmDBGridQDLFind::TfrmDBGridQDLFind(TDbGridQDL* grid, const QString& field, Page page, const QString& findBy)
    : QDialog(grid, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_grid(grid), m_field(field)
{
    setObjectName(QStringLiteral("frmDBGridQDLFind"));
    setWindowTitle(QStringLiteral("Vyhľadávanie podľa ") + findBy + QStringLiteral("..."));
    m_text = new QLineEdit;
    m_text->setObjectName(QStringLiteral("eText"));
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPixelSize(13);
    m_text->setFont(courier);
    m_date = new QDateEdit;
    m_date->setObjectName(QStringLiteral("eDate"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_pages = new QStackedWidget;
    m_pages->addWidget(makePage(QStringLiteral("Zadajte text:"), m_text));
    m_pages->addWidget(makePage(QStringLiteral("Zadajte dátum:"), m_date));
    m_pages->setCurrentIndex(page == TextPage ? 0 : 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_pages);
    setColour(m_text, false);
    setColour(m_date, false);
    m_text->installEventFilter(this);
    m_date->installEventFilter(this);

    m_grid->SetColorSelectedRow(true);
    m_text->clear();
    lastSearchText().clear();
    connect(m_text, &QLineEdit::textChanged, this, &TfrmDBGridQDLFind::textChanged);
    connect(m_date, &QDateEdit::dateChanged, this, &TfrmDBGridQDLFind::dateChanged);

    const int h = readUserInt(settingsKey(), QStringLiteral("Height"), kDesignHeight);
    setFixedHeight(kDesignHeight);
    resize(kDesignWidth, h);
    RestorePlacement(this, settingsKey());
    (page == TextPage ? static_cast<QWidget*>(m_text) : m_date)->setFocus();
}

TfrmDBGridQDLFind::~TfrmDBGridQDLFind() = default;

void TfrmDBGridQDLFind::setColour(QWidget* edit, bool red)
{
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, red ? QColor(Qt::red) : kAqua);
    edit->setPalette(pal);
}

bool TfrmDBGridQDLFind::isRed(QWidget* edit) const
{
    return edit->palette().color(QPalette::Base) == QColor(Qt::red);
}

void TfrmDBGridQDLFind::textChanged(const QString& t)
{
    if (!isVisible())
        return;
    QString& last = lastSearchText();
    if (t.size() < last.size() && last.startsWith(t))
        last = t;
    bool hit = false;
    if (last.isEmpty() || !t.startsWith(last)) {
        last.clear();
        if (!t.isEmpty())
            hit = m_grid->Locate(m_field, t, true, true);
    } else {
        // Continue from the current record: it is tested first, so a longer
        // text that still fits keeps it.
        const int row = m_grid->gridModel()->findRow(m_field, t, true, true, std::max(m_grid->currentRow(), 0));
        hit = row >= 0;
        if (hit)
            m_grid->setCurrentRow(row);
    }
    m_found = hit;
    if (hit) {
        setColour(m_text, false);
    } else if (!t.trimmed().isEmpty() && !isRed(m_text)) {
        setColour(m_text, true);
        PlaySoundFileAsync(soundFile());
    }
    last = t;
}

void TfrmDBGridQDLFind::dateChanged()
{
    if (!isVisible())
        return;
    m_found = m_grid->Locate(m_field, m_date->date(), false, false);
    setColour(m_date, !m_found);
}

bool TfrmDBGridQDLFind::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_text || watched == m_date) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = ShiftCtrlAlt(key);
        if (mods == Qt::NoModifier && isEnterKey(key)) {
            if (m_found) {
                hide();
                if (m_grid->OnFoundRecord)
                    m_grid->OnFoundRecord();
                accept();
            }
            return true;
        }
        if (mods == Qt::NoModifier && key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmDBGridQDLFind::done(int result)
{
    m_grid->SetColorSelectedRow(false);
    StorePlacement(this, settingsKey());
    writeUserInt(settingsKey(), QStringLiteral("Height"), height());
    QDialog::done(result);
}
