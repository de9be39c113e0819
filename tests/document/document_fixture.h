// The document alone, as the main window would start it, with the
// executable's folder (settings file, data folder) in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "document/document.h"
#include "storage/settings.h"
#include "tests/support/fake_ui.h"
#include "tests/support/language.h"

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        set_exe_directory_for_testing(QFile::encodeName(dir.path() + "/").constData());
    }
    void TearDown() override {
        document.reset();
        set_exe_directory_for_testing(nullptr);
    }

    // The document as the window's creation leaves it: grids filled, results
    // calculated, no message. English texts unless a test says otherwise.
    void open_document() {
        document = std::make_unique<Document>(record, ui);
        set_language(LANG_ENGLISH);
        QObject::connect(document.get(), &Document::busy_changed,
                         [this](bool busy) { events.push_back(busy ? "busy" : "idle"); });
        QObject::connect(document.get(), &Document::status_changed, [this](bool) {
            const WindowState& s = document->state();
            events.push_back(s.status_visible ? "status " + s.status_text : "status hidden");
        });
        document->fill_grids(true);
        document->refresh_results(ReadFlag::numbers_only);
        events.clear();
    }

    QString path(const QString& name) const { return dir.path() + "/" + name; }

    GridCells& conditions() { return document->conditions(); }
    GridCells& layers() { return document->layers(); }
    const WindowState& state() const { return document->state(); }

    const LanguageScope language_;
    QTemporaryDir dir;
    Partition record;
    FakeUi ui;
    std::unique_ptr<Document> document;
    // What the window would have been told to show: the wait cursor and the
    // status bar, in order.
    std::vector<std::string> events;
};
