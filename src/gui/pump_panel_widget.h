#pragma once
// The plot window's side panel for pump selection: the static head, the sum of the fittings'
// K (with the Fittings dialog), the arrangement and a small table of the pumps' points, in the
// units on screen; below them each pump's operating point or why it has none. Every edit is
// handed on as a PumpInput; what the core took comes back with the next plot data.

#include <functional>

#include <QWidget>

#include "platform/plot_data.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace zynta::gui {

class PumpPanelWidget : public QWidget {
 public:
  explicit PumpPanelWidget(QWidget* parent = nullptr);
  // Shows the panel's values, units and results of the data, without handing anything on.
  void SetData(const platform::PlotData& data);
  // What the panel holds now.
  platform::PumpInput Input() const;
  // An edit was made (handed on once the event that made it is over).
  std::function<void(const platform::PumpInput& input)> OnChanged;

  QLineEdit* StaticHead() const { return static_; }
  QLineEdit* SumK() const { return sumK_; }
  QComboBox* Arrangement() const { return arrangement_; }
  QTableWidget* Points() const { return points_; }
  QLabel* Results() const { return results_; }
  // The Fittings dialog: counts of each fitting, added to the sum of K on OK.
  void FittingsAsked();

 private:
  void Changed();

  platform::PlotData data_;
  QLineEdit* static_ = nullptr;
  QLabel* staticUnit_ = nullptr;
  QLineEdit* sumK_ = nullptr;
  QComboBox* arrangement_ = nullptr;
  QTableWidget* points_ = nullptr;
  QLabel* results_ = nullptr;
  bool filling_ = false;
  bool pending_ = false;
};

}  // namespace zynta::gui
