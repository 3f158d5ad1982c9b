#include "gui/pump_panel_widget.h"

#include <map>

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/dispatch.h"

namespace zynta::gui {

namespace {

constexpr const char* Arrangements[] = {"single", "parallel", "series"};
constexpr const char* ArrangementCaptions[] = {"One pump", "Two in parallel", "Two in series"};

QString CellText(const QTableWidget& table, int row, int column) {
  const QTableWidgetItem* item = table.item(row, column);
  return item ? item->text().trimmed() : QString();
}

}  // namespace

PumpPanelWidget::PumpPanelWidget(QWidget* parent) : QWidget(parent) {
  setObjectName("plot.pumps");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  static_ = new QLineEdit(this);
  static_->setObjectName("pumps.static");
  staticUnit_ = new QLabel(this);
  auto* staticRow = new QHBoxLayout();
  staticRow->addWidget(static_);
  staticRow->addWidget(staticUnit_);
  auto* staticLabel = new QLabel("Static &head:", this);
  staticLabel->setBuddy(static_);
  form->addRow(staticLabel, staticRow);
  sumK_ = new QLineEdit(this);
  sumK_->setObjectName("pumps.sumK");
  auto* fittings = new QPushButton("&Fittings...", this);
  fittings->setObjectName("pumps.fittings");
  auto* kRow = new QHBoxLayout();
  kRow->addWidget(sumK_);
  kRow->addWidget(fittings);
  auto* kLabel = new QLabel("Sum of &K:", this);
  kLabel->setBuddy(sumK_);
  form->addRow(kLabel, kRow);
  arrangement_ = new QComboBox(this);
  arrangement_->setObjectName("pumps.arrangement");
  for (const char* caption : ArrangementCaptions) arrangement_->addItem(caption);
  auto* arrangementLabel = new QLabel("Arra&ngement:", this);
  arrangementLabel->setBuddy(arrangement_);
  form->addRow(arrangementLabel, arrangement_);
  layout->addLayout(form);

  points_ = new QTableWidget(0, 3, this);
  points_->setObjectName("pumps.points");
  points_->setAccessibleName("Pump points");
  points_->verticalHeader()->setVisible(false);
  points_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  points_->setMaximumHeight(200);
  layout->addWidget(points_);
  auto* rowButtons = new QHBoxLayout();
  auto* add = new QPushButton("&Add point", this);
  add->setObjectName("pumps.add");
  auto* remove = new QPushButton("&Remove point", this);
  remove->setObjectName("pumps.remove");
  rowButtons->addWidget(add);
  rowButtons->addWidget(remove);
  layout->addLayout(rowButtons);
  results_ = new QLabel(this);
  results_->setObjectName("pumps.results");
  results_->setWordWrap(true);
  results_->setTextFormat(Qt::PlainText);
  results_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  // Room for a refusal and three pumps' lines, wrapped: a wrapping label's own height hint is
  // taken before its width is known.
  results_->setMinimumHeight(8 * results_->fontMetrics().lineSpacing());
  layout->addWidget(results_);
  layout->addStretch(1);

  connect(static_, &QLineEdit::editingFinished, this, [this] { Changed(); });
  connect(sumK_, &QLineEdit::editingFinished, this, [this] { Changed(); });
  connect(arrangement_, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
  connect(points_, &QTableWidget::cellChanged, this, [this] { Changed(); });
  connect(fittings, &QPushButton::clicked, this, [this] { FittingsAsked(); });
  connect(add, &QPushButton::clicked, this, [this] {
    const int row = points_->rowCount();
    const int pump = row > 0 ? std::max(1, CellText(*points_, row - 1, 0).toInt()) : 1;
    filling_ = true;
    points_->insertRow(row);
    points_->setItem(row, 0, new QTableWidgetItem(QString::number(pump)));
    filling_ = false;
    points_->setCurrentCell(row, 1);
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    const int row = points_->currentRow();
    if (row < 0) return;
    points_->removeRow(row);
    Changed();
  });
  setMinimumWidth(230);
  setMaximumWidth(290);
}

void PumpPanelWidget::SetData(const platform::PlotData& data) {
  data_ = data;
  filling_ = true;
  const platform::PumpInput& in = data.pumpInput;
  static_->setText(Q(in.staticHead));
  staticUnit_->setText(Q(data.system.yUnit));
  sumK_->setText(Q(in.sumK));
  for (int i = 0; i < 3; ++i)
    if (in.arrangement == Arrangements[i]) arrangement_->setCurrentIndex(i);
  points_->setHorizontalHeaderLabels(
      {"Pump", "Flow (" + Q(data.system.xUnit) + ")", "Head (" + Q(data.system.yUnit) + ")"});
  points_->setRowCount(0);
  for (size_t pump = 0; pump < in.pumps.size(); ++pump) {
    for (const QString& pair : Q(in.pumps[pump]).split(',', Qt::SkipEmptyParts)) {
      const int row = points_->rowCount();
      points_->insertRow(row);
      points_->setItem(row, 0, new QTableWidgetItem(QString::number(pump + 1)));
      points_->setItem(row, 1, new QTableWidgetItem(pair.section(':', 0, 0)));
      points_->setItem(row, 2, new QTableWidgetItem(pair.section(':', 1)));
    }
  }
  QStringList lines;
  if (!data.pumpRefusal.empty()) lines << Q(data.pumpRefusal);
  for (size_t i = 0; i < data.pumps.size(); ++i) {
    const platform::PumpPlot& pump = data.pumps[i];
    lines << QString("Pump %1: ").arg(i + 1) + Q(pump.text) +
                 (pump.shares.empty() ? "" : " (" + Q(pump.shares) + ")");
  }
  results_->setText(lines.join("\n"));
  setEnabled(data.ok);
  filling_ = false;
}

platform::PumpInput PumpPanelWidget::Input() const {
  platform::PumpInput in;
  in.staticHead = static_->text().trimmed().toStdString();
  in.sumK = sumK_->text().trimmed().toStdString();
  in.arrangement = Arrangements[std::max(0, arrangement_->currentIndex())];
  // Rows by pump number, in table order; a row not filled in yet is left out.
  std::map<int, QStringList> pumps;
  for (int row = 0; row < points_->rowCount(); ++row) {
    const QString flow = CellText(*points_, row, 1);
    const QString head = CellText(*points_, row, 2);
    if (flow.isEmpty() || head.isEmpty()) continue;
    pumps[CellText(*points_, row, 0).toInt()] << flow + ":" + head;
  }
  for (const auto& [number, points] : pumps) {
    if (number < 1) continue;
    in.pumps.resize(static_cast<size_t>(std::max<int>(number, static_cast<int>(in.pumps.size()))));
    in.pumps[static_cast<size_t>(number - 1)] = points.join(',').toStdString();
  }
  return in;
}

void PumpPanelWidget::Changed() {
  if (filling_ || pending_) return;
  // The core's answer rebuilds the panel: not inside the signal of the cell being edited.
  pending_ = true;
  QTimer::singleShot(0, this, [this] {
    pending_ = false;
    if (OnChanged) OnChanged(Input());
  });
}

void PumpPanelWidget::FittingsAsked() {
  QDialog dialog(this);
  dialog.setObjectName("pumps.fittingsDialog");
  dialog.setWindowTitle("Fittings");
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout();
  std::vector<QSpinBox*> counts;
  auto* sum = new QLabel(&dialog);
  auto update = [&] {
    double k = 0.0;
    for (size_t i = 0; i < counts.size(); ++i) k += counts[i]->value() * data_.fittings[i].k;
    sum->setText("Sum of K of these fittings: " + QString::number(k, 'g', 6));
  };
  for (const platform::FittingK& fitting : data_.fittings) {
    auto* count = new QSpinBox(&dialog);
    count->setRange(0, 999);
    count->setAccessibleName(Q(fitting.name));
    form->addRow(Q(fitting.name) + " (K " + QString::number(fitting.k, 'g', 6) + "):", count);
    counts.push_back(count);
    connect(count, &QSpinBox::valueChanged, &dialog, update);
  }
  layout->addLayout(form);
  layout->addWidget(sum);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  update();
  if (dialog.exec() != QDialog::Accepted) return;
  double added = 0.0;
  for (size_t i = 0; i < counts.size(); ++i) added += counts[i]->value() * data_.fittings[i].k;
  bool ok = false;
  const double typed = sumK_->text().trimmed().isEmpty() ? 0.0 : sumK_->text().toDouble(&ok);
  sumK_->setText(QString::number((ok || sumK_->text().trimmed().isEmpty() ? typed : 0.0) + added, 'g', 12));
  Changed();
}

}  // namespace zynta::gui
