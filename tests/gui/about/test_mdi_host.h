#pragma once
// A frame for widget tests: a QMdiArea that registers itself as the program's frame.
#include <QMdiArea>

#include <vector>

#include "platform/mdi.h"

namespace test {

class TestMdiHost : public platform::MdiHost {
 public:
  TestMdiHost();
  ~TestMdiHost() override;
  TestMdiHost(const TestMdiHost&) = delete;
  TestMdiHost& operator=(const TestMdiHost&) = delete;

  void AddChild(QWidget* child) override;
  std::vector<QWidget*> Children() const override;
  // Lets closed children finish deleting themselves.
  static void Settle();

  QMdiArea area;
};

}  // namespace test
