// The main window shown with its own settings store, scripted prompts and a private copy of the
// program's data (the windows write config.opt and language files beside the program), and
// closed without the unsaved-changes question: the base of the window tests.
#pragma once

#include "main_window.h"
#include "scripted_prompts.h"
#include "window_test_environment.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

struct editor_window_fixture : ::testing::Test {
    QTemporaryDir dir;
    QString program_dir = program_data();
    std::unique_ptr<QSettings> store;
    scripted_prompts prompts;
    std::unique_ptr<main_window> w;
    // Settings the window reads when it is made.
    virtual void prepare_store(QSettings&) {}
    void SetUp() override {
        store = std::make_unique<QSettings>(dir.filePath("store.ini"), QSettings::IniFormat);
        prepare_store(*store);
        w = std::make_unique<main_window>(program_dir, store.get(), &prompts);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    // The program's data files as this test's own copy.
    static QString program_data() {
        window_test_environment* e = window_test_environment::current();
        return e ? QString::fromStdString(e->program_data_copy(VELLUM_APP_DIR)) : QString(VELLUM_APP_DIR);
    }
    void TearDown() override {
        w->document().history().setClean(); // leave without the unsaved-changes question
        w->close();
        w.reset();
    }
};
