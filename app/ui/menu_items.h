#pragma once
// Menu items named after their handlers (CompOpenMenu, PosMenu), so that tests and the manual
// checks find each item by its name; check-mark groups of such items.

#include <QAction>
#include <QMenu>
#include <functional>
#include <vector>

namespace tidemet {

inline QAction* AddNamedItem(QMenu* menu, const QString& text, const char* name,
                             std::function<void()> run, bool checkable = false) {
  QAction* a = menu->addAction(text);
  a->setObjectName(QString::fromLatin1(name));
  a->setCheckable(checkable);
  QObject::connect(a, &QAction::triggered, menu, std::move(run));
  return a;
}

// One checkable item per text; choosing item i calls `choose(i)`.
inline std::vector<QAction*> AddCheckGroup(QMenu* menu, const std::vector<QString>& texts,
                                           const std::vector<const char*>& names,
                                           const std::function<void(int)>& choose) {
  std::vector<QAction*> items;
  for (size_t i = 0; i < texts.size() && i < names.size(); ++i)
    items.push_back(AddNamedItem(
        menu, texts[i], names[i], [choose, i] { choose(static_cast<int>(i)); }, true));
  return items;
}

}  // namespace tidemet
