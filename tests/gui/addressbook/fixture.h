#pragma once
// The three address-book dialogs created over a scratch program folder, with every modal
// interaction answered by the test.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include <string>

#include "addressbook/connectform.h"
#include "addressbook/forms.h"
#include "addressbook/newserverform.h"
#include "addressbook/quickconnectform.h"
#include "addressbook/serverstore.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

class AddressBookForms : public ::testing::Test {
 protected:
  void TearDown() override { DestroyAddressBookForms(); }

  void WriteIni(const std::string& bytes) { dir.Write("Corvane.ini", bytes); }
  std::string Ini() const { return dir.Read("Corvane.ini"); }
  std::string Key(const std::string& section, const std::string& key) const {
    return platform::IniReadString(section, key, "<missing>", platform::IniFileName());
  }
  static void ShowAndActivate(QWidget* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }

  test::ScopedProgramDir dir;
  test::ScopedDialogs dialogs;
};
