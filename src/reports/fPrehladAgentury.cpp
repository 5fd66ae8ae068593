#include "reports/fPrehladAgentury.h"

#include "controls/DataControl.h"
#include "controls/IBDate.h"
#include "controls/QDLBtn.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/DbOperation.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "framework/TextHelpers.h"
#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportExport.h"
#include "reportengine/TableLayout.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QRegularExpression>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using fb::Decimal;

const QString kMoneyFormat = QStringLiteral(",0.00");
const QColor kIncomeColour(70, 130, 180), kCostColour(230, 145, 56), kProfitColour(40, 140, 60);

QString money(const Decimal& d)
{
    return FormatDisplayValue(QVariant::fromValue(d), kMoneyFormat);
}

QString decimalText(const Decimal& d)
{
    // Already rounded exactly: the double only carries it to the locale's text.
    return d.scale() == 2 ? money(d) : QLocale().toString(d.toDouble(), 'f', d.scale());
}

report::Value reportNumber(const Decimal& d)
{
    return report::Value::number(report::Decimal::fromUnits(d.units(), d.scale()));
}

// One column of a table: its header, width in pixels, and whether it holds numbers.
struct ColumnDef {
    QString header;
    int width;
    bool number;
    QString format;  // of a number in the exports
};

const std::vector<ColumnDef>& customerColumns()
{
    static const std::vector<ColumnDef> columns = {
        {QStringLiteral("Objednávateľ"), 220, false, {}},
        {QStringLiteral("Preklady"), 60, true, QStringLiteral("0")},
        {QStringLiteral("Príjmy v €"), 90, true, kMoneyFormat},
        {QStringLiteral("Náklady v €"), 90, true, kMoneyFormat},
        {QStringLiteral("Zisk v €"), 90, true, kMoneyFormat},
    };
    return columns;
}

const std::vector<ColumnDef>& translatorColumns()
{
    static const std::vector<ColumnDef> columns = {
        {QStringLiteral("Prekladateľ"), 220, false, {}},
        {QStringLiteral("Preklady"), 60, true, QStringLiteral("0")},
        {QStringLiteral("Priem. hodnotenie %"), 120, true, kMoneyFormat},
        {QStringLiteral("Dodané načas %"), 100, true, QStringLiteral("0.0")},
    };
    return columns;
}

QTableWidget* makeTable(const QString& name, const std::vector<ColumnDef>& columns)
{
    auto* t = new QTableWidget(0, int(columns.size()));
    t->setObjectName(name);
    QStringList headers;
    for (const ColumnDef& c : columns)
        headers << c.header;
    t->setHorizontalHeaderLabels(headers);
    for (int i = 0; i < int(columns.size()); ++i)
        t->setColumnWidth(i, columns[size_t(i)].width);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    t->setWordWrap(false);
    t->verticalHeader()->setVisible(false);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setTabKeyNavigation(false);  // Tab goes on to the next control
    t->setAlternatingRowColors(true);
    return t;
}

// The cells of a table, each a text to show and a value to export.
struct Cell {
    QString text;
    report::Value value;
};
using Rows = std::vector<std::vector<Cell>>;

void fillTable(QTableWidget* t, const std::vector<ColumnDef>& columns, const Rows& rows)
{
    t->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(columns.size()); ++c) {
            auto* item = new QTableWidgetItem(rows[size_t(r)][size_t(c)].text);
            item->setTextAlignment(columns[size_t(c)].number ? Qt::AlignRight | Qt::AlignVCenter
                                                             : Qt::AlignLeft | Qt::AlignVCenter);
            t->setItem(r, c, item);
        }
}

Rows customerRows(const std::vector<CustomerFigures>& customers)
{
    Rows rows;
    for (const CustomerFigures& c : customers)
        rows.push_back({{c.name, report::Value::text(c.name)},
                        {QString::number(c.jobs), report::Value::integer(c.jobs)},
                        {money(c.income), reportNumber(c.income)},
                        {money(c.cost), reportNumber(c.cost)},
                        {money(c.profit()), reportNumber(c.profit())}});
    return rows;
}

Rows translatorRows(const std::vector<TranslatorFigures>& translators)
{
    Rows rows;
    for (const TranslatorFigures& t : translators) {
        const auto rating = t.averageRating();
        rows.push_back({{t.name, report::Value::text(t.name)},
                        {QString::number(t.jobs), report::Value::integer(t.jobs)},
                        {rating ? decimalText(*rating) : QString(), rating ? reportNumber(*rating) : report::Value()},
                        {decimalText(t.onTimePercent()), reportNumber(t.onTimePercent())}});
    }
    return rows;
}

// A table as a report: the engine's plain listing, with typed values so that
// the spreadsheet exports keep numbers as numbers.
std::shared_ptr<const report::PreparedReport> tableReport(const QString& title, const std::vector<ColumnDef>& columns,
                                                          const Rows& rows)
{
    report::TableListing listing;
    listing.title = title;
    for (const ColumnDef& c : columns) {
        listing.headers << c.header;
        listing.widths.push_back(c.width);
        listing.alignments.push_back(c.number ? report::HAlign::Right : report::HAlign::Left);
    }
    report::Layout layout = report::tableLayout(listing);
    if (layout.masterData)
        for (size_t c = 0; c < columns.size() && c < layout.masterData->objects.size(); ++c)
            layout.masterData->objects[c].format = columns[c].format;
    report::MemoryDataset data;
    for (size_t c = 0; c < columns.size(); ++c)
        data.addColumn({QStringLiteral("C%1").arg(c + 1),
                        columns[c].number ? report::ColumnType::Decimal : report::ColumnType::Text, 2});
    for (const auto& row : rows) {
        std::vector<report::Value> values;
        for (const Cell& cell : row)
            values.push_back(cell.value);
        data.addRow(std::move(values));
    }
    report::Report r(std::move(layout));
    r.setTitle(title);
    r.setNow(Clock::now());
    r.setDataset(QStringLiteral("MASTER"), &data);
    return std::make_shared<const report::PreparedReport>(r.prepare());
}

QString fileNameSafe(const QString& title)
{
    QString name = title;
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("-"));
    return name;
}

}  // namespace

TfrmPrehladAgentury::TfrmPrehladAgentury(QWidget* parent) : TFormUni(parent)
{
    setObjectName(QStringLiteral("frmPrehladAgentury"));
    setWindowTitle(QStringLiteral("Prehľad agentúry"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    askFileName = [](QWidget* parent, const QString& caption, const QString& name, const QString& filters,
                     QString* selected) {
        return QFileDialog::getSaveFileName(parent, caption, name, filters, selected);
    };
    buildUi();
    resize(1040, 820);
}

TfrmPrehladAgentury::~TfrmPrehladAgentury() = default;

void TfrmPrehladAgentury::buildUi()
{
    const QFont courier = dataControlFont();
    const auto bold = [](TQDLBtn* b) {
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
        return b;
    };
    const auto button = [&](const char* name, const QString& caption) {
        auto* b = new TQDLBtn(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return bold(b);
    };

    // The period of the tables.
    eObdobie = new QComboBox(this);
    eObdobie->setObjectName(QStringLiteral("eObdobie"));
    for (OverviewPeriod p : {OverviewPeriod::ThisMonth, OverviewPeriod::LastMonth, OverviewPeriod::ThisYear,
                             OverviewPeriod::LastYear, OverviewPeriod::Last12Months, OverviewPeriod::Custom})
        eObdobie->addItem(OverviewPeriodText(p), int(p));
    eDatumOd = new TIBDate(this);
    eDatumOd->setObjectName(QStringLiteral("eDatumOd"));
    eDatumDo = new TIBDate(this);
    eDatumDo->setObjectName(QStringLiteral("eDatumDo"));
    for (QWidget* w : std::initializer_list<QWidget*>{eObdobie, eDatumOd, eDatumDo})
        w->setFont(courier);
    btnObnov = button("btnObnov", QStringLiteral("&Obnov"));
    auto* periodRow = new QHBoxLayout;
    const auto label = [&](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        periodRow->addWidget(l);
        periodRow->addWidget(buddy);
    };
    label(QStringLiteral("O&bdobie:"), eObdobie);
    label(QStringLiteral("od:"), eDatumOd);
    label(QStringLiteral("do:"), eDatumDo);
    periodRow->addWidget(btnObnov);
    periodRow->addStretch(1);
    auto* note = new QLabel(QStringLiteral("Tabuľky: preklady dodané prekladateľom v období."), this);
    note->setObjectName(QStringLiteral("lblObdobie"));
    periodRow->addWidget(note);

    // The chart of the last 24 months.
    auto* gbGraf = new QGroupBox(
        QStringLiteral("Príjmy, náklady a zisk v € za posledných 24 mesiacov (podľa mesiaca odoslania prekladu)"), this);
    gbGraf->setObjectName(QStringLiteral("gbGraf"));
    chvMesiace = new QChartView(new QChart, gbGraf);
    chvMesiace->setObjectName(QStringLiteral("chvMesiace"));
    chvMesiace->setRenderHint(QPainter::Antialiasing);
    chvMesiace->setMinimumHeight(280);
    chvMesiace->setFocusPolicy(Qt::NoFocus);
    btnGrafPng = button("btnGrafPng", QStringLiteral("Uložiť &graf ako PNG..."));
    auto* grafLayout = new QVBoxLayout(gbGraf);
    grafLayout->addWidget(chvMesiace, 1);
    auto* grafButtons = new QHBoxLayout;
    grafButtons->addStretch(1);
    grafButtons->addWidget(btnGrafPng);
    grafLayout->addLayout(grafButtons);

    // The two tables side by side.
    const auto tableBox = [&](const char* name, QLabel*& caption, QTableWidget*& table, const QString& tableName,
                              const std::vector<ColumnDef>& columns, TQDLBtn*& exportButton, const char* buttonName,
                              const QString& buttonCaption) {
        auto* box = new QWidget(this);
        box->setObjectName(QString::fromLatin1(name));
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        caption = new QLabel(box);
        QFont f = caption->font();
        f.setBold(true);
        caption->setFont(f);
        table = makeTable(tableName, columns);
        caption->setBuddy(table);
        exportButton = button(buttonName, buttonCaption);
        layout->addWidget(caption);
        layout->addWidget(table, 1);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(exportButton);
        layout->addLayout(buttons);
        return box;
    };
    QWidget* pnlObjednavatelia =
        tableBox("pnlObjednavatelia", lblObjednavatelia, grObjednavatelia, QStringLiteral("grObjednavatelia"),
                 customerColumns(), btnExportObjednavatelia, "btnExportObjednavatelia",
                 QStringLiteral("&Export objednávateľov..."));
    QWidget* pnlPrekladatelia =
        tableBox("pnlPrekladatelia", lblPrekladatelia, grPrekladatelia, QStringLiteral("grPrekladatelia"),
                 translatorColumns(), btnExportPrekladatelia, "btnExportPrekladatelia",
                 QStringLiteral("E&xport prekladateľov..."));
    auto* tables = new QHBoxLayout;
    tables->addWidget(pnlObjednavatelia, 1);
    tables->addWidget(pnlPrekladatelia, 1);

    btnZavriet = button("btnZavriet", QStringLiteral("&Zavrieť"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btnZavriet);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(periodRow);
    layout->addWidget(gbGraf, 1);
    layout->addLayout(tables, 1);
    layout->addLayout(bottom);

    SetTabOrder({eObdobie, eDatumOd, eDatumDo, btnObnov, grObjednavatelia, btnExportObjednavatelia, grPrekladatelia,
                 btnExportPrekladatelia, btnGrafPng, btnZavriet});

    connect(eObdobie, qOverload<int>(&QComboBox::activated), this, guarded([this](int index) {
                ChoosePeriod(OverviewPeriod(eObdobie->itemData(index).toInt()));
            }));
    // A typed date makes the period the user's own.
    for (TIBDate* d : {eDatumOd, eDatumDo})
        connect(d, &TIBDate::OnChange, this, [this] {
            if (!m_settingPeriod)
                eObdobie->setCurrentIndex(eObdobie->findData(int(OverviewPeriod::Custom)));
        });
    connect(btnObnov, &QPushButton::clicked, this, guarded([this] { Refresh(); }));
    connect(btnGrafPng, &QPushButton::clicked, this, guarded([this] { saveChart(); }));
    connect(btnExportObjednavatelia, &QPushButton::clicked, this,
            guarded([this] { exportTable(CustomersReport()); }));
    connect(btnExportPrekladatelia, &QPushButton::clicked, this,
            guarded([this] { exportTable(TranslatorsReport()); }));
    connect(btnZavriet, &QPushButton::clicked, this, [this] { reject(); });

    m_settingPeriod = true;
    eObdobie->setCurrentIndex(eObdobie->findData(int(OverviewPeriod::Last12Months)));
    if (const auto dates = OverviewPeriodDates(OverviewPeriod::Last12Months, Clock::today())) {
        eDatumOd->setDate(dates->first);
        eDatumDo->setDate(dates->second);
    }
    m_settingPeriod = false;
}

void TfrmPrehladAgentury::ChoosePeriod(OverviewPeriod period)
{
    eObdobie->setCurrentIndex(eObdobie->findData(int(period)));
    if (const auto dates = OverviewPeriodDates(period, Clock::today())) {
        m_settingPeriod = true;
        eDatumOd->setDate(dates->first);
        eDatumDo->setDate(dates->second);
        m_settingPeriod = false;
    }
    Refresh();
}

QString TfrmPrehladAgentury::periodText() const
{
    const QString od = eDatumOd->IsEmpty() ? QStringLiteral("...") : eDatumOd->date().toString(QStringLiteral("dd.MM.yyyy"));
    const QString doDate =
        eDatumDo->IsEmpty() ? QStringLiteral("...") : eDatumDo->date().toString(QStringLiteral("dd.MM.yyyy"));
    return od + QStringLiteral(" – ") + doDate;
}

void TfrmPrehladAgentury::Refresh()
{
    const QDate today = Clock::today();
    const QDate od = eDatumOd->IsEmpty() ? QDate() : eDatumOd->date();
    const QDate doDate = eDatumDo->IsEmpty() ? QDate() : eDatumDo->date();
    std::vector<MonthFigures> months;
    std::vector<CustomerFigures> customers;
    std::vector<TranslatorFigures> translators;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = RunInTransaction(
        [&](fb::Transaction& tr) {
            months = ReadMonthlyFigures(tr, today);
            customers = ReadTopCustomers(tr, od, doDate);
            translators = ReadTopTranslators(tr, od, doDate);
        },
        true);
    QApplication::restoreOverrideCursor();
    if (!read)
        return;
    m_months = std::move(months);
    m_customers = std::move(customers);
    m_translators = std::move(translators);
    fillChart();
    fillTables();
}

void TfrmPrehladAgentury::fillChart()
{
    QChart* chart = chvMesiace->chart();
    chart->removeAllSeries();
    // The chart gives a removed axis back to the caller (series it deletes itself).
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(QString());
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);

    auto* income = new QBarSet(QStringLiteral("Príjmy"));
    auto* cost = new QBarSet(QStringLiteral("Náklady"));
    income->setColor(kIncomeColour);
    cost->setColor(kCostColour);
    auto* profit = new QLineSeries;
    profit->setName(QStringLiteral("Zisk"));
    QPen pen(kProfitColour);
    pen.setWidth(3);
    profit->setPen(pen);
    profit->setPointsVisible(true);
    QStringList categories;
    double low = 0, high = 0;
    for (int i = 0; i < int(m_months.size()); ++i) {
        const MonthFigures& m = m_months[size_t(i)];
        categories << m.month.toString(QStringLiteral("MM/yy"));
        const double in = m.income.toDouble(), out = m.cost.toDouble(), gain = m.profit().toDouble();
        *income << in;
        *cost << out;
        profit->append(i, gain);
        low = std::min({low, in, out, gain});
        high = std::max({high, in, out, gain});
    }
    auto* bars = new QBarSeries;
    bars->append(income);
    bars->append(cost);
    chart->addSeries(bars);
    chart->addSeries(profit);

    auto* months = new QBarCategoryAxis;
    months->append(categories);
    months->setLabelsAngle(-90);
    chart->addAxis(months, Qt::AlignBottom);
    bars->attachAxis(months);
    profit->attachAxis(months);
    auto* euros = new QValueAxis;
    euros->setLabelFormat(QStringLiteral("%.0f"));  // the format is not Unicode: "€" goes into the title
    euros->setTitleText(QStringLiteral("€"));
    euros->setRange(low, high > low ? high : low + 1);
    euros->applyNiceNumbers();
    chart->addAxis(euros, Qt::AlignLeft);
    bars->attachAxis(euros);
    profit->attachAxis(euros);
}

void TfrmPrehladAgentury::fillTables()
{
    const QString period = periodText();
    lblObjednavatelia->setText(QStringLiteral("&Najväčší objednávatelia podľa príjmov (%1)").arg(period));
    lblPrekladatelia->setText(QStringLiteral("&Prekladatelia s najviac prekladmi (%1)").arg(period));
    fillTable(grObjednavatelia, customerColumns(), customerRows(m_customers));
    fillTable(grPrekladatelia, translatorColumns(), translatorRows(m_translators));
}

std::shared_ptr<const report::PreparedReport> TfrmPrehladAgentury::CustomersReport() const
{
    return tableReport(QStringLiteral("Najväčší objednávatelia podľa príjmov, ") + periodText(), customerColumns(),
                       customerRows(m_customers));
}

std::shared_ptr<const report::PreparedReport> TfrmPrehladAgentury::TranslatorsReport() const
{
    return tableReport(QStringLiteral("Prekladatelia s najviac prekladmi, ") + periodText(), translatorColumns(),
                       translatorRows(m_translators));
}

QImage TfrmPrehladAgentury::ChartImage() const
{
    // The picture as seen; before the window is on screen (or when it is
    // tiny) one of a legible size.
    if (chvMesiace->isVisible() && chvMesiace->width() >= 400 && chvMesiace->height() >= 200)
        return chvMesiace->grab().toImage();
    const QSize size(800, 400);
    QChart* chart = chvMesiace->chart();
    const QSizeF old = chart->size();
    chart->resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    chart->scene()->render(&painter, QRectF(QPointF(0, 0), size), chart->geometry());
    painter.end();
    chart->resize(old);
    return image;
}

void TfrmPrehladAgentury::saveChart()
{
    QString filter = QStringLiteral("Obrázok PNG (*.png)");
    QString name = askFileName(this, QStringLiteral("Uložiť graf"), QStringLiteral("Prehľad agentúry.png"), filter,
                               &filter);
    if (name.isEmpty())
        return;
    if (!name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        name += QStringLiteral(".png");
    if (!ChartImage().save(name, "PNG"))
        MessageDlg(QStringLiteral("Graf sa nepodarilo uložiť do súboru %1.").arg(name), msg::Error, {msg::OK}, 0,
                   msg::OK);
}

void TfrmPrehladAgentury::exportTable(const std::shared_ptr<const report::PreparedReport>& prepared)
{
    QStringList filters;
    for (const report::ExportFormatInfo& f : report::exportFormats())
        filters << QStringLiteral("%1 (*.%2)").arg(f.description, f.suffix);
    // The spreadsheet first: what a table is usually wanted in.
    QString chosen = filters.value(int(std::distance(
        report::exportFormats().begin(),
        std::find_if(report::exportFormats().begin(), report::exportFormats().end(),
                     [](const report::ExportFormatInfo& f) { return f.format == report::ExportFormat::Xlsx; }))));
    const QString file = askFileName(this, QStringLiteral("Exportovať tabuľku"), fileNameSafe(prepared->title),
                                     filters.join(QStringLiteral(";;")), &chosen);
    if (file.isEmpty())
        return;
    const int index = int(filters.indexOf(chosen));
    const auto [format, name] =
        report::saveTarget(file, report::exportFormats()[size_t(std::max(index, 0))].format);
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        report::exportReport(*prepared, format, name);
        QApplication::restoreOverrideCursor();
    } catch (const report::Error& e) {
        QApplication::restoreOverrideCursor();
        MessageDlg(e.message(), msg::Error, {msg::OK}, 0, msg::OK);
    }
}

bool TfrmPrehladAgentury::keyPreview(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && ShiftCtrlAlt(event) == Qt::NoModifier) {
        reject();
        return true;
    }
    return TFormUni::keyPreview(event);
}

void TfrmPrehladAgentury::showEvent(QShowEvent* event)
{
    TFormUni::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        Refresh();
        eObdobie->setFocus();
    }
}

void RunPrehladAgentury()
{
    TfrmPrehladAgentury window;
    window.exec();
}
