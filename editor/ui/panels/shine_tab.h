// The "TR4 and TRC Shiny Effect" tab. Its controls come with the shiny-effect commands; until
// then the tab is empty.
#pragma once

#include <QWidget>

class shine_tab : public QWidget {
    Q_OBJECT
  public:
    explicit shine_tab(QWidget* parent = nullptr) : QWidget(parent) { setObjectName("TabSheet3"); }
};
