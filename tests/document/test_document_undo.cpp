// The undo history: every edit that changes the record is one step, and
// undoing and redoing gives back the data file byte for byte and the texts
// as they were; the saved state follows the history.
#include <array>
#include <cstring>
#include <functional>
#include <vector>

#include "document/grid_columns.h"
#include "lang/catalogue.h"
#include "storage/datafile.h"
#include "tests/document/document_fixture.h"
#include "tests/support/cp1250.h"

namespace {

using FileBytes = std::array<std::uint8_t, DATA_FILE_SIZE>;

// What one state of the document is made of, as far as the user can tell.
struct Shown {
    FileBytes file;
    std::vector<std::string> cells;  // both grids, every cell in their counts
    std::string title, radius;
    bool valid;
    double k;
    int wall_type, calc_mode;
};

class UndoTest : public DocumentTest {
public:
    using DocumentTest::conditions;
    using DocumentTest::document;
    using DocumentTest::layers;

    Shown shown() const {
        Shown s;
        encode_data_file(record, s.file.data());
        for (const GridCells* g : {&document->conditions(), &document->layers()}) {
            s.cells.push_back(std::to_string(g->col_count()) + "x" + std::to_string(g->row_count()));
            for (int r = 0; r < g->row_count(); ++r)
                for (int c = 0; c < g->col_count(); ++c) s.cells.push_back(g->text(c, r));
        }
        s.title = document->title_text();
        s.radius = document->radius_text();
        s.valid = state().results_valid;
        s.k = record.k;
        s.wall_type = record.wall_type;
        s.calc_mode = record.calc_mode;
        return s;
    }

    void commit(GridCells& grid, int col, int row, const std::string& text) {
        grid.set_text(col, row, text);
        document->refresh_results(ReadFlag::with_messages);
    }
    void commit_layer(int col, int row, const std::string& text) {
        commit(layers(), col, row, text);
    }
    void commit_title(const std::string& text) {
        document->set_title_text(text);
        document->take_title();
    }
    void commit_radius(const std::string& text) {
        document->set_radius_text(text);
        document->refresh_results(ReadFlag::with_messages);
    }
    int steps() const { return document->history().count(); }
};

struct Sequence {
    const char* name;
    std::vector<std::function<void(UndoTest&)>> edits;  // each one step
};

const Sequence SEQUENCES[] = {
    {"layer values and a description",
     {[](UndoTest& t) { t.commit_layer(LAYER_THICKNESS, 2, "0.3"); },
      [](UndoTest& t) { t.commit_layer(LAYER_LAMBDA, 3, "0.5"); },
      [](UndoTest& t) { t.commit_layer(LAYER_DELTA, 1, "0.01"); },
      [](UndoTest& t) { t.commit_layer(LAYER_DESCRIPTION, 4, "brick"); }}},
    {"conditions of both sides",
     {[](UndoTest& t) { t.commit(t.conditions(), COND_EXTERNAL, 1, "-20"); },
      [](UndoTest& t) { t.commit(t.conditions(), COND_INTERNAL, 3, "60"); },
      [](UndoTest& t) { t.commit(t.conditions(), COND_EXTERNAL, 2, "0.05"); }}},
    {"layers added and deleted",
     {[](UndoTest& t) { ASSERT_TRUE(t.document->insert_layer_at(2)); },
      [](UndoTest& t) { ASSERT_TRUE(t.document->delete_layer_at(1)); },
      [](UndoTest& t) { ASSERT_TRUE(t.document->insert_layer_at(5)); },  // the "Add" row
      [](UndoTest& t) { ASSERT_TRUE(t.document->delete_layer_at(5)); }}},
    {"a typed value goes in with the layer added after it",
     {[](UndoTest& t) {
         t.layers().set_text(LAYER_LAMBDA, 2, "0.7");
         ASSERT_TRUE(t.document->insert_layer_at(1));
     }}},
    {"curved wall, its radius and the title",
     {[](UndoTest& t) { t.document->choose_wall_type(1); },
      [](UndoTest& t) { t.commit_radius("3.5"); },
      [](UndoTest& t) { t.commit_title("Wall A"); },
      [](UndoTest& t) { t.document->choose_wall_type(0); }}},
    {"mode switches keep a hidden typed Delta",
     {[](UndoTest& t) {
          t.layers().set_text(LAYER_DELTA, 2, "0.03");
          t.document->choose_calc_mode(0);
      },
      [](UndoTest& t) { t.document->choose_calc_mode(1); }}},
    {"a refused text stays in its cell beside a taken one",
     {[](UndoTest& t) {
         t.layers().set_text(LAYER_LAMBDA, 1, "abc");
         t.commit_layer(LAYER_THICKNESS, 1, "0.02");
     }}},
    {"a number beyond its limit is no step but goes with the next one",
     {[](UndoTest& t) {
         t.commit_layer(LAYER_THICKNESS, 3, "6");
         t.commit_layer(LAYER_LAMBDA, 1, "0.5");
     }}},
    {"eleven layers, then one fewer",
     {[](UndoTest& t) { ASSERT_TRUE(t.document->insert_layer_at(5)); },
      [](UndoTest& t) { ASSERT_TRUE(t.document->insert_layer_at(5)); },
      [](UndoTest& t) { ASSERT_TRUE(t.document->insert_layer_at(5)); },
      [](UndoTest& t) { ASSERT_TRUE(t.document->insert_layer_at(5)); },
      [](UndoTest& t) { ASSERT_TRUE(t.document->insert_layer_at(5)); },
      [](UndoTest& t) { ASSERT_TRUE(t.document->insert_layer_at(5)); },
      [](UndoTest& t) { ASSERT_TRUE(t.document->insert_layer_at(5)); },
      [](UndoTest& t) { t.commit_layer(LAYER_THICKNESS, 11, "0.2"); },
      [](UndoTest& t) { ASSERT_TRUE(t.document->delete_layer_at(11)); }}},
};

void expect_shown(const Shown& now, const Shown& want, const std::string& when) {
    SCOPED_TRACE(when);
    EXPECT_TRUE(now.file == want.file) << "the data file differs";
    EXPECT_EQ(now.cells, want.cells);
    EXPECT_EQ(now.title, want.title);
    EXPECT_EQ(now.radius, want.radius);
    EXPECT_EQ(now.valid, want.valid);
    EXPECT_EQ(now.k, want.k);
    EXPECT_EQ(now.wall_type, want.wall_type);
    EXPECT_EQ(now.calc_mode, want.calc_mode);
}

// Undoing walks back through every state to the start, redoing forward to the end.
void walk_the_history(UndoTest& t, const Sequence& seq) {
    SCOPED_TRACE(seq.name);
    std::vector<Shown> states{t.shown()};
    for (const auto& edit : seq.edits) {
        edit(t);
        states.push_back(t.shown());
    }
    ASSERT_EQ(t.steps(), int(seq.edits.size()));
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(t.document->can_undo());
        t.document->undo();
        expect_shown(t.shown(), states[i - 1], "after undoing step " + std::to_string(i));
    }
    EXPECT_FALSE(t.document->can_undo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(t.document->can_redo());
        t.document->redo();
        expect_shown(t.shown(), states[i], "after redoing step " + std::to_string(i));
    }
    EXPECT_FALSE(t.document->can_redo());
}

TEST_F(UndoTest, EverySequenceUndoesToTheStartAndRedoesToTheEnd) {
    for (const Sequence& seq : SEQUENCES) {
        open_document();
        walk_the_history(*this, seq);
        document.reset();
        record = Partition();
    }
}

TEST_F(UndoTest, AFileWhoseValuesTheCellsRoundComesBackByteForByte) {
    // Typed texts are the record's values to four places: the first commit
    // takes every cell in, and undoing it must give the file's own values.
    Partition precise;
    precise.layers[1].thickness = 0.123456789;
    precise.temp_int = 20.123456;
    copy_bounded(precise.title, "Roof\x01", TITLE_SIZE);  // shown as "Roof?"
    const QString file = path("PRECISE.PAR");
    ASSERT_EQ(write_data_file(precise, QFile::encodeName(file).constData()), WRITE_DONE);
    open_document();
    ASSERT_TRUE(document->open_file(file));
    EXPECT_FALSE(document->can_undo());
    const Sequence seq{"one commit of a file's rounded cells",
                       {[](UndoTest& t) { t.commit_layer(LAYER_LAMBDA, 1, "0.8"); }}};
    walk_the_history(*this, seq);
    document->undo();
    EXPECT_EQ(record.layers[1].thickness, 0.123456789);
    EXPECT_EQ(std::memcmp(record.title, "Roof\x01", 6), 0);
}

TEST_F(UndoTest, StepsAreNamedInTheCurrentLanguage) {
    open_document();
    EXPECT_EQ(document->undo_text(), "Undo");
    EXPECT_EQ(document->redo_text(), "Redo");
    const struct {
        std::function<void(UndoTest&)> edit;
        const char* name;
    } cases[] = {
        {[](UndoTest& t) { t.commit_layer(LAYER_THICKNESS, 2, "0.3"); }, "thickness of layer 2-3"},
        {[](UndoTest& t) { t.commit_layer(LAYER_DESCRIPTION, 1, "brick"); },
         "description of layer 1-2"},
        {[](UndoTest& t) { t.commit(t.conditions(), COND_INTERNAL, 4, "0.2"); },
         "internal diffusive resistance"},
        {[](UndoTest& t) { t.commit_title("T"); }, "title"},
        {[](UndoTest& t) { t.document->insert_layer_at(5); }, "adding layer 5-6"},
        {[](UndoTest& t) { t.document->delete_layer_at(3); }, "deleting layer 3-4"},
        {[](UndoTest& t) { t.document->choose_wall_type(1); }, "partition type"},
        {[](UndoTest& t) { t.commit_radius("2"); }, "radius of curvature"},
        {[](UndoTest& t) { t.document->choose_calc_mode(0); }, "kind of calculations"},
        {[](UndoTest& t) {
             t.layers().set_text(LAYER_LAMBDA, 1, "0.5");
             t.layers().set_text(LAYER_LAMBDA, 2, "0.5");
             t.document->refresh_results(ReadFlag::with_messages);
         },
         "several values"},
    };
    for (const auto& c : cases) {
        c.edit(*this);
        EXPECT_EQ(document->undo_text(), std::string("Undo: ") + c.name);
    }
    document->undo();
    EXPECT_EQ(document->redo_text(), "Redo: several values");

    const int before = steps();
    ASSERT_TRUE(document->switch_language(LANG_POLISH));
    EXPECT_EQ(steps(), before);  // the language is no part of the document
    EXPECT_EQ(document->undo_text(), w1250("Cofnij: rodzaj obliczeń"));
    EXPECT_EQ(document->redo_text(), w1250("Ponów: kilka wartości"));
}

TEST_F(UndoTest, RefusedAndRepeatedValuesMakeNoStep) {
    open_document();
    const std::string lambda = layers().text(LAYER_LAMBDA, 2);
    commit_layer(LAYER_LAMBDA, 2, lambda);
    commit_layer(LAYER_LAMBDA, 2, lambda + "0");  // the same number spelt otherwise
    commit_layer(LAYER_DESCRIPTION, 1, layers().text(LAYER_DESCRIPTION, 1));
    commit_title("");
    document->choose_wall_type(0);
    document->choose_calc_mode(1);
    EXPECT_FALSE(document->insert_layer_at(0));
    EXPECT_EQ(steps(), 0);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();

    commit_layer(LAYER_THICKNESS, 3, "abc");
    commit_layer(LAYER_THICKNESS, 3, "6");  // beyond its limit
    EXPECT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_EQ(steps(), 0);
    EXPECT_FALSE(document->can_undo());
}

TEST_F(UndoTest, UndoTakesInWhatWasTypedFirst) {
    open_document();
    const Shown start = shown();
    layers().set_text(LAYER_THICKNESS, 2, "0.4");  // typed, not yet taken in
    EXPECT_TRUE(document->typed_in_cell(layers(), LAYER_THICKNESS, 2));
    EXPECT_FALSE(document->typed_in_cell(layers(), LAYER_THICKNESS, 1));
    document->undo();
    expect_shown(shown(), start, "after undoing what was typed");
    EXPECT_FALSE(document->typed_in_cell(layers(), LAYER_THICKNESS, 2));
    document->redo();
    EXPECT_EQ(record.layers[1].thickness, 0.4);
    EXPECT_EQ(layers().text(LAYER_THICKNESS, 2), "0.4");
}

TEST_F(UndoTest, TheSavedStateFollowsTheHistory) {
    open_document();
    const QString file = path("SAVED.PAR");
    commit_layer(LAYER_THICKNESS, 1, "0.02");
    ASSERT_TRUE(document->save_to_file(file));
    EXPECT_EQ(record.modified, 0);
    commit_layer(LAYER_THICKNESS, 1, "0.03");
    EXPECT_EQ(record.modified, 1);

    document->undo();  // back to what was saved: no question
    EXPECT_EQ(record.modified, 0);
    EXPECT_TRUE(document->confirm_discard());
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();

    document->redo();  // away from it again
    EXPECT_EQ(record.modified, 1);
    ui.answers = {MsgAnswer::cancel};
    EXPECT_FALSE(document->confirm_discard());
    EXPECT_EQ(ui.boxes.size(), 1u);

    document->undo();
    document->undo();  // before the save
    EXPECT_EQ(record.modified, 1);
    document->redo();
    EXPECT_EQ(record.modified, 0);

    // A new step from an earlier state: the saved state is out of reach.
    document->undo();
    commit_layer(LAYER_LAMBDA, 1, "0.9");
    document->undo();
    EXPECT_EQ(record.modified, 1);
    EXPECT_FALSE(document->can_undo());
}

TEST_F(UndoTest, OpenStartsTheHistoryAgain) {
    open_document();
    const QString file = path("OTHER.PAR");
    Partition other;
    other.layers[0].thickness = 0.05;
    ASSERT_EQ(write_data_file(other, QFile::encodeName(file).constData()), WRITE_DONE);
    commit_layer(LAYER_THICKNESS, 1, "0.02");
    document->undo();
    ASSERT_TRUE(document->can_redo());
    ASSERT_TRUE(document->open_file(file));
    EXPECT_FALSE(document->can_undo());
    EXPECT_FALSE(document->can_redo());
    EXPECT_EQ(record.modified, 0);

    // A file that cannot be read leaves the document and its history alone.
    commit_layer(LAYER_THICKNESS, 1, "0.07");
    EXPECT_FALSE(document->open_file(path("MISSING.PAR")));
    EXPECT_TRUE(document->can_undo());
    document->undo();
    EXPECT_EQ(record.layers[0].thickness, 0.05);
    EXPECT_EQ(record.modified, 0);
}

}  // namespace
