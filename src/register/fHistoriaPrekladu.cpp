#include "register/fHistoriaPrekladu.h"

#include "framework/DbOperation.h"
#include "framework/SlotGuard.h"
#include "register/fEPrekladyPridaj.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kArrow = QStringLiteral(" → ");

QString when(const QDateTime& t)
{
    return t.isValid() ? t.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")) : QString();
}

// One line in a cell: the line breaks of a note would hide the rest.
QString oneLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" ¶ "));
    line.replace(QLatin1Char('\n'), QLatin1String(" ¶ "));
    return line;
}

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(oneLine(text));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (text.size() > 60 || text.contains(QLatin1Char('\n')))
        item->setToolTip(text);
    return item;
}

QString caption(const QString& column)
{
    return TfrmEPrekladyPridaj::JobColumnCaption(column);
}

}  // namespace

TfrmHistoriaPrekladu::TfrmHistoriaPrekladu(Kind kind, std::vector<HistoryRow> rows, const QString& title,
                                           QWidget* parent)
    : QDialog(parent), m_kind(kind), m_rows(std::move(rows))
{
    setObjectName(kind == Kind::Job ? QStringLiteral("frmHistoriaPrekladu")
                                    : QStringLiteral("frmHistoriaVymazanychPrekladov"));
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(kind == Kind::Job ? 820 : 700, 420);

    grHistoria = new QTableWidget(this);
    grHistoria->setObjectName(QStringLiteral("grHistoria"));
    grHistoria->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grHistoria->setSelectionBehavior(QAbstractItemView::SelectRows);
    grHistoria->setSelectionMode(QAbstractItemView::SingleSelection);
    grHistoria->setAlternatingRowColors(true);
    grHistoria->setWordWrap(false);
    grHistoria->verticalHeader()->hide();
    grHistoria->verticalHeader()->setDefaultSectionSize(grHistoria->fontMetrics().height() + 6);
    grHistoria->horizontalHeader()->setStretchLastSection(true);
    grHistoria->installEventFilter(this);

    eDetail = new QPlainTextEdit(this);
    eDetail->setObjectName(QStringLiteral("eDetail"));
    eDetail->setReadOnly(true);
    eDetail->setFocusPolicy(Qt::ClickFocus);
    eDetail->setFixedHeight(eDetail->fontMetrics().height() * 4 + 12);

    lblPocet = new QLabel(this);
    lblPocet->setObjectName(QStringLiteral("lblPocet"));
    btnZavri = new QPushButton(QStringLiteral("&Zavri"), this);
    btnZavri->setObjectName(QStringLiteral("btnZavri"));
    btnZavri->setAutoDefault(false);
    btnZavri->setFocusPolicy(Qt::ClickFocus);
    connect(btnZavri, &QPushButton::clicked, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblPocet, 1);
    bottom->addWidget(btnZavri);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grHistoria, 1);
    layout->addWidget(eDetail);
    layout->addLayout(bottom);

    fill();
    connect(grHistoria, &QTableWidget::currentCellChanged, this, [this] { showDetail(); });
    if (m_kind == Kind::Deleted)
        connect(grHistoria, &QTableWidget::cellDoubleClicked, this, guarded([this] { OpenCurrentJob(); }));
    if (!m_rows.empty())
        grHistoria->setCurrentCell(0, 0);
    showDetail();
    grHistoria->setFocus();
}

void TfrmHistoriaPrekladu::fill()
{
    const int count = int(m_rows.size());
    grHistoria->setRowCount(count);
    if (m_kind == Kind::Job) {
        grHistoria->setColumnCount(5);
        grHistoria->setHorizontalHeaderLabels({QStringLiteral("Kedy"), QStringLiteral("Kto"), QStringLiteral("Pole"),
                                               QStringLiteral("Pôvodná hodnota"), QStringLiteral("Nová hodnota")});
        for (int i = 0; i < count; ++i) {
            const HistoryRow& r = m_rows[size_t(i)];
            grHistoria->setItem(i, 0, cell(when(r.kedy)));
            grHistoria->setItem(i, 1, cell(r.kto));
            grHistoria->setItem(i, 2, cell(HistoryFieldText(r, caption)));
            grHistoria->setItem(i, 3, cell(HistoryValueText(r.stlpec, r.stara)));
            grHistoria->setItem(i, 4, cell(HistoryValueText(r.stlpec, r.nova)));
        }
        fitColumns({0, 1});
        grHistoria->setColumnWidth(2, 180);
        grHistoria->setColumnWidth(3, 200);
        lblPocet->setText(count == 0 ? QStringLiteral("Preklad nemá zaznamenané žiadne zmeny.")
                                     : QStringLiteral("Počet zmien: %1").arg(count));
    } else {
        grHistoria->setColumnCount(4);
        grHistoria->setHorizontalHeaderLabels({QStringLiteral("Vymazaný"), QStringLiteral("Kto"),
                                               QStringLiteral("Číslo"), QStringLiteral("Značka a názov")});
        for (int i = 0; i < count; ++i) {
            const HistoryRow& r = m_rows[size_t(i)];
            grHistoria->setItem(i, 0, cell(when(r.kedy)));
            grHistoria->setItem(i, 1, cell(r.kto));
            QTableWidgetItem* number = cell(r.preklad.toString());
            number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grHistoria->setItem(i, 2, number);
            grHistoria->setItem(i, 3, cell(HistoryValueText({}, r.stara)));
        }
        fitColumns({0, 1, 2});
        lblPocet->setText(count == 0 ? QStringLiteral("Žiadny preklad nebol vymazaný.")
                                     : QStringLiteral("Počet vymazaných prekladov: %1 — Enter: história prekladu")
                                           .arg(count));
    }
}

void TfrmHistoriaPrekladu::fitColumns(std::initializer_list<int> columns)
{
    // The moment, the user and the number are short: shown whole, the
    // values get the rest.
    for (int c : columns)
        grHistoria->resizeColumnToContents(c);
}

void TfrmHistoriaPrekladu::showDetail()
{
    const int row = grHistoria->currentRow();
    if (row < 0 || row >= int(m_rows.size())) {
        eDetail->clear();
        return;
    }
    const HistoryRow& r = m_rows[size_t(row)];
    if (m_kind == Kind::Deleted || r.akcia != QLatin1String("U")) {
        eDetail->setPlainText(HistoryFieldText(r, caption) + QLatin1Char('\n')
                              + HistoryValueText({}, r.akcia == QLatin1String("I") ? r.nova : r.stara));
        return;
    }
    eDetail->setPlainText(caption(r.stlpec) + QStringLiteral(":\n") + HistoryValueText(r.stlpec, r.stara) + kArrow
                          + HistoryValueText(r.stlpec, r.nova));
}

void TfrmHistoriaPrekladu::OpenCurrentJob()
{
    const int row = grHistoria->currentRow();
    if (m_kind != Kind::Deleted || row < 0 || row >= int(m_rows.size()))
        return;
    const HistoryRow& r = m_rows[size_t(row)];
    ShowJobHistory(r.preklad, QStringLiteral("História vymazaného prekladu č. %1").arg(r.preklad.toString()), this);
}

bool TfrmHistoriaPrekladu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grHistoria && event->type() == QEvent::KeyPress && m_kind == Kind::Deleted) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            runReportingUnexpected([this] { OpenCurrentJob(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool ShowJobHistory(const QVariant& preklad, const QString& title, QWidget* parent)
{
    std::vector<HistoryRow> rows;
    if (!RunInTransaction([&](fb::Transaction& tr) { rows = ReadJobHistory(tr, preklad); }, true))
        return false;
    TfrmHistoriaPrekladu window(TfrmHistoriaPrekladu::Kind::Job, std::move(rows), title, parent);
    window.exec();
    return true;
}

bool ShowDeletedJobs(QWidget* parent)
{
    std::vector<HistoryRow> rows;
    if (!RunInTransaction([&](fb::Transaction& tr) { rows = ReadDeletedJobs(tr); }, true))
        return false;
    TfrmHistoriaPrekladu window(TfrmHistoriaPrekladu::Kind::Deleted, std::move(rows),
                                QStringLiteral("História vymazaných prekladov"), parent);
    window.exec();
    return true;
}
