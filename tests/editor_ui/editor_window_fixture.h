// The main window shown with its own settings store and scripted prompts, and closed without the
// unsaved-changes question: the base of the window tests.
#pragma once

#include "main_window.h"
#include "scripted_prompts.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

struct editor_window_fixture : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<QSettings> store;
    scripted_prompts prompts;
    std::unique_ptr<main_window> w;
    // Settings the window reads when it is made.
    virtual void prepare_store(QSettings&) {}
    void SetUp() override {
        store = std::make_unique<QSettings>(dir.filePath("store.ini"), QSettings::IniFormat);
        prepare_store(*store);
        w = std::make_unique<main_window>(VELLUM_APP_DIR, store.get(), &prompts);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void TearDown() override {
        w->document().history().setClean(); // leave without the unsaved-changes question
        w->close();
        w.reset();
    }
};
