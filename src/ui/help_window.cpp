#include "ui/help_window.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "platform/data_files.h"

namespace koral::ui {

namespace {

// Where a tree item keeps the document position of its heading block.
constexpr int kBlockPositionRole = Qt::UserRole;
constexpr QSize kDefaultSize(900, 650);
constexpr int kHeadingsWidth = 260;

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent) {
  setWindowFlag(Qt::Window);
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("KORAL Manual"));
  setAccessibleName(windowTitle());

  headings_ = new QTreeWidget(this);
  headings_->setObjectName(QStringLiteral("headings"));
  headings_->setAccessibleName(QStringLiteral("Contents"));
  headings_->setHeaderHidden(true);
  headings_->setColumnCount(1);

  text_ = new QTextBrowser(this);
  text_->setObjectName(QStringLiteral("manualText"));
  text_->setAccessibleName(QStringLiteral("Manual text"));
  text_->setOpenLinks(false);  // the manual has no links to follow away from it

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(headings_);
  splitter->addWidget(text_);
  splitter->setStretchFactor(1, 1);
  splitter->setChildrenCollapsible(false);
  splitter->setSizes({kHeadingsWidth, kDefaultSize.width() - kHeadingsWidth});

  findBar_ = new QWidget(this);
  findBar_->setObjectName(QStringLiteral("findBar"));
  auto* findLabel = new QLabel(QStringLiteral("&Find:"), findBar_);
  findText_ = new QLineEdit(findBar_);
  findText_->setObjectName(QStringLiteral("findText"));
  findText_->setAccessibleName(QStringLiteral("Find text"));
  findText_->setClearButtonEnabled(true);
  findLabel->setBuddy(findText_);
  auto* next = new QPushButton(QStringLiteral("&Next"), findBar_);
  next->setObjectName(QStringLiteral("findNext"));
  auto* previous = new QPushButton(QStringLiteral("&Previous"), findBar_);
  previous->setObjectName(QStringLiteral("findPrevious"));
  findResult_ = new QLabel(findBar_);
  findResult_->setObjectName(QStringLiteral("findResult"));
  auto* findLayout = new QHBoxLayout(findBar_);
  findLayout->setContentsMargins(0, 0, 0, 0);
  findLayout->addWidget(findLabel);
  findLayout->addWidget(findText_, 1);
  findLayout->addWidget(next);
  findLayout->addWidget(previous);
  findLayout->addWidget(findResult_);
  findBar_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter, 1);
  layout->addWidget(findBar_);
  resize(kDefaultSize);
  setTabOrder(headings_, text_);
  setTabOrder(text_, findText_);

  // Clicking a heading, and moving through the tree with the keys.
  connect(headings_, &QTreeWidget::itemClicked, this, [this](const QTreeWidgetItem* item) { ShowHeading(item); });
  connect(headings_, &QTreeWidget::currentItemChanged, this,
          [this](const QTreeWidgetItem* current) { ShowHeading(current); });

  connect(findText_, &QLineEdit::textEdited, this, [this] {
    // Typing searches again from where the last match began.
    QTextCursor cursor = text_->textCursor();
    cursor.setPosition(cursor.selectionStart());
    text_->setTextCursor(cursor);
    Find(false);
  });
  connect(findText_, &QLineEdit::returnPressed, this, [this] { Find(false); });
  connect(next, &QPushButton::clicked, this, [this] { Find(false); });
  connect(previous, &QPushButton::clicked, this, [this] { Find(true); });

  auto* find = new QAction(QStringLiteral("Find"), this);
  find->setShortcuts(QKeySequence::Find);
  connect(find, &QAction::triggered, this, &HelpWindow::ShowFindBar);
  auto* findNext = new QAction(QStringLiteral("Find Next"), this);
  findNext->setShortcuts(QKeySequence::FindNext);
  connect(findNext, &QAction::triggered, this, [this] { Find(false); });
  auto* findPrevious = new QAction(QStringLiteral("Find Previous"), this);
  findPrevious->setShortcuts(QKeySequence::FindPrevious);
  connect(findPrevious, &QAction::triggered, this, [this] { Find(true); });

  // The platform's Close keys and Ctrl+W everywhere; each key only once, since
  // a key bound twice fires neither binding.
  QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
  const QKeySequence controlW(Qt::CTRL | Qt::Key_W);
  if (!closeKeys.contains(controlW)) closeKeys.append(controlW);
  auto* closeWindow = new QAction(QStringLiteral("Close"), this);
  closeWindow->setShortcuts(closeKeys);
  connect(closeWindow, &QAction::triggered, this, &QWidget::close);
  addActions({find, findNext, findPrevious, closeWindow});

  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &HelpWindow::EscapePressed);
}

bool HelpWindow::Open(const QString& manualPath) {
  QFile file(manualPath);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
  const QByteArray markdown = file.readAll();
  if (file.error() != QFileDevice::NoError) return false;

  text_->document()->setMarkdown(QString::fromUtf8(markdown), QTextDocument::MarkdownDialectCommonMark);
  ListHeadings();
  findBar_->hide();
  findResult_->clear();
  show();
  raise();
  activateWindow();
  return true;
}

void HelpWindow::ListHeadings() {
  const QSignalBlocker blocker(headings_);  // rebuilding is not the user moving through the tree
  headings_->clear();
  // The innermost open heading of each level so far, outermost first: a
  // heading goes under the nearest one of a smaller level.
  std::vector<std::pair<int, QTreeWidgetItem*>> open;
  for (QTextBlock block = text_->document()->begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level <= 0) continue;
    while (!open.empty() && open.back().first >= level)
      open.pop_back();
    auto* item = open.empty() ? new QTreeWidgetItem(headings_) : new QTreeWidgetItem(open.back().second);
    item->setText(0, block.text().trimmed());
    item->setData(0, kBlockPositionRole, block.position());
    open.emplace_back(level, item);
  }
  headings_->expandAll();
}

void HelpWindow::ShowHeading(const QTreeWidgetItem* item) {
  if (item == nullptr) return;
  QTextDocument* document = text_->document();
  const QTextBlock block = document->findBlock(item->data(0, kBlockPositionRole).toInt());
  if (!block.isValid()) return;
  // The cursor goes there too, so that Find goes on from the heading.
  text_->setTextCursor(QTextCursor(block));
  // The heading at the top, with the same margin above it as at the start of
  // the document.
  const QRectF place = document->documentLayout()->blockBoundingRect(block);
  text_->verticalScrollBar()->setValue(qRound(place.top() - document->documentMargin()));
}

void HelpWindow::ShowFindBar() {
  findBar_->show();
  findText_->setFocus(Qt::ShortcutFocusReason);
  findText_->selectAll();
}

void HelpWindow::Find(bool backward) {
  const QString wanted = findText_->text();
  if (wanted.isEmpty()) {
    findResult_->clear();
    return;
  }
  const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  const QTextCursor before = text_->textCursor();
  bool found = text_->find(wanted, flags);
  if (!found) {
    QTextCursor wrap = before;
    wrap.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    text_->setTextCursor(wrap);
    found = text_->find(wanted, flags);
    if (!found) text_->setTextCursor(before);
  }
  findResult_->setText(found ? QString() : QStringLiteral("Not found"));
}

void HelpWindow::EscapePressed() {
  if (findBar_->isVisible()) {
    findBar_->hide();
    text_->setFocus(Qt::ShortcutFocusReason);
    return;
  }
  close();
}

std::optional<QString> FindManual() {
  return FindDataFile(QStringLiteral("koral.hlp"), AlsoCurrentDirectory::No);
}

}  // namespace koral::ui
