// The record and the grids' cell texts meet in the document, with no widget:
// what the cells hold is read, checked and calculated, and the record's
// values come back as texts.
#include <cstring>

#include "tests/document/document_fixture.h"

namespace {

TEST_F(DocumentTest, CellsShowTheRecordAndTypedTextsReachIt) {
    open_document();
    EXPECT_EQ(conditions().row_count(), 5);  // dampness mode: humidity and diffusion rows
    EXPECT_EQ(conditions().text(1, 1), "-5");
    EXPECT_EQ(conditions().text(1, 0), "external side");
    EXPECT_EQ(layers().col_count(), 7);
    EXPECT_EQ(layers().row_count(), 6);  // header, four layers, the "Add" row
    EXPECT_EQ(layers().text(0, 1), "    1-2");
    EXPECT_EQ(layers().text(1, 5), " Add");
    EXPECT_EQ(layers().text(2, 4), "Delete");
    EXPECT_EQ(layers().text(6, 2), "0.0225");
    EXPECT_TRUE(state().results_valid);

    int repaints = 0;
    QObject::connect(document.get(), &Document::graph_changed, [&] { ++repaints; });
    conditions().set_text(1, 1, "-20");
    layers().set_text(5, 2, "0.05");
    layers().set_text(3, 2, "brick");
    document->refresh_results(ReadFlag::with_messages);
    EXPECT_EQ(record.temp_ext, -20.0);
    EXPECT_EQ(record.layers[1].lambda, 0.05);
    EXPECT_STREQ(record.layers[1].description, "brick");
    EXPECT_EQ(record.modified, 1);
    EXPECT_EQ(repaints, 1);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();

    document->refresh_results(ReadFlag::with_messages);  // nothing new: no repaint
    EXPECT_EQ(repaints, 1);
}

TEST_F(DocumentTest, OneMessageAPassAndAnErrorHidesTheResults) {
    open_document();
    layers().set_text(4, 3, "6");    // thickness of layer 3 beyond its limit
    layers().set_text(5, 3, "abc");  // and its Lambda no number
    EXPECT_FALSE(document->read_grids(ReadFlag::with_messages));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Thickness for layer 3-4 is out of allowable limits.\n(min=0.00001; max=2)");
    EXPECT_FALSE(state().results_valid);
    EXPECT_EQ(state().thickness_status[2], CHECK_LIMIT);

    // A box open while a pass starts: the pass shows nothing of its own.
    ui.while_box_open = [&] { EXPECT_FALSE(document->read_grids(ReadFlag::with_messages)); };
    document->message_box("x", "y", MsgIcon::warning, MsgButtons::ok);
    EXPECT_EQ(ui.boxes.size(), 2u) << ui.shown();
}

TEST_F(DocumentTest, ModeAndLayerEditsRebuildTheCellsAndKeepHiddenTexts) {
    open_document();
    layers().set_text(6, 2, "0.03");  // typed, not yet read
    document->choose_calc_mode(0);
    EXPECT_EQ(record.calc_mode, 0);
    EXPECT_EQ(conditions().row_count(), 3);
    EXPECT_EQ(layers().col_count(), 6);
    document->choose_calc_mode(1);
    EXPECT_EQ(layers().text(6, 2), "0.03");
    EXPECT_EQ(record.layers[1].delta, 0.03);

    ASSERT_TRUE(document->insert_layer_at(2));  // "Add" of layer 2: a copy before it
    EXPECT_EQ(record.layer_count, 5);
    EXPECT_EQ(layers().row_count(), 7);
    EXPECT_EQ(layers().text(6, 3), "0.03");
    ASSERT_TRUE(document->delete_layer_at(1));
    EXPECT_EQ(record.layer_count, 4);
    EXPECT_FALSE(document->delete_layer_at(0));  // the header row
    EXPECT_FALSE(document->insert_layer_at(6));  // below the "Add" row
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(DocumentTest, TheEditsTextsAreTheTitleAndTheRadius) {
    open_document();
    EXPECT_EQ(document->radius_text(), "1.5");
    document->set_title_text("North wall");
    document->take_title();
    EXPECT_STREQ(record.title, "North wall");

    int radius_shown = 0;
    QObject::connect(document.get(), &Document::wall_type_changed, [&] { ++radius_shown; });
    document->set_radius_text("0.1");
    document->choose_wall_type(1);
    EXPECT_EQ(radius_shown, 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Radius of curvature is out of allowable limits.\n(min=0.3465; max=500)");
}

}  // namespace
