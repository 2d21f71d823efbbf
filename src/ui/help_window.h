// The manual window (Help > Manual): the manual koral.hlp, written in
// Markdown, with its headings as a tree beside the text. It keeps nothing
// between showings.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace koral::ui {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Loads the manual file and shows the window; false (and nothing shown)
  // when the file cannot be read.
  bool Open(const QString& manualPath);

 private:
  void ListHeadings();
  void ShowHeading(const QTreeWidgetItem* item);
  void ShowFindBar();
  // Searches from the current selection on, wrapping round the end once.
  void Find(bool backward);
  void EscapePressed();

  QTreeWidget* headings_ = nullptr;  // "headings"
  QTextBrowser* text_ = nullptr;     // "manualText"
  QWidget* findBar_ = nullptr;
  QLineEdit* findText_ = nullptr;
  QLabel* findResult_ = nullptr;
};

// The manual beside the program or in the installed data folder, or nothing.
std::optional<QString> FindManual();

}  // namespace koral::ui
