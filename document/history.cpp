// The undo history on a QUndoStack. A step keeps the one span of the
// record's input bytes that changed (as before and after) and the texts that
// changed, so that undo and redo give back the record byte for byte and the
// cells and edits as the user left them; the results are calculated afresh.
#include <QUndoCommand>
#include <cstring>
#include <utility>
#include <vector>

#include "storage/cp1250.h"
#include "document/assessment_document.h"
#include "document/document.h"
#include "document/grid_columns.h"
#include "lang/catalogue.h"
#include "lang/catalogue_c.h"
#include "lang/catalogue_e.h"

namespace {

struct TextChange {
    std::uint8_t slot;
    std::string before, after;
};

const std::uint8_t* input_bytes(const Partition& p) {
    return reinterpret_cast<const std::uint8_t*>(static_cast<const PartitionInput*>(&p));
}

int condition_slot(int col, int row) {
    if (col < COND_EXTERNAL || col > COND_INTERNAL || row < 1 || row > 4) return -1;
    return (row - 1) * 2 + (col - COND_EXTERNAL);
}

int layer_slot(int col, int row) {
    if (col < LAYER_DESCRIPTION || col > LAYER_DELTA || row < 1 || row > MAX_LAYERS) return -1;
    return CONDITION_SLOTS + (row - 1) * 4 + (col - LAYER_DESCRIPTION);
}

// The slot of a cell of one of the two grids; -1 for none.
int slot_of(const GridCells& grid, const GridCells& conditions, const GridCells& layers, int col,
            int row) {
    return &grid == &conditions ? condition_slot(col, row)
           : &grid == &layers   ? layer_slot(col, row)
                                : -1;
}

// The changes of an edit that count: every change but a number the checks
// refuse (it is stored, so that the results show as invalid, but it is no
// step). The name is that of the one change, or "several values".
int counted_changes(const PartitionInput& a, Partition& b, StepName& name) {
    struct Field {
        double PartitionInput::*field;
        FieldId id;
        TextD name;
    };
    const Field FIELDS[] = {
        {&PartitionInput::temp_ext, FLD_TEMP_EXT, TextD::StepTempExt},
        {&PartitionInput::temp_int, FLD_TEMP_INT, TextD::StepTempInt},
        {&PartitionInput::res_ext, FLD_RES_EXT, TextD::StepResExt},
        {&PartitionInput::res_int, FLD_RES_INT, TextD::StepResInt},
        {&PartitionInput::hum_ext, FLD_HUM_EXT, TextD::StepHumExt},
        {&PartitionInput::hum_int, FLD_HUM_INT, TextD::StepHumInt},
        {&PartitionInput::diff_ext, FLD_DIFF_EXT, TextD::StepDiffExt},
        {&PartitionInput::diff_int, FLD_DIFF_INT, TextD::StepDiffInt},
        {&PartitionInput::radius, FLD_RADIUS, TextD::StepRadius},
    };
    int changes = 0;
    auto note = [&](const void* x, const void* y, std::size_t n, TextD what, int layer) {
        if (std::memcmp(x, y, n) == 0) return;
        ++changes;
        name = {what, std::int8_t(layer)};
    };
    auto note_number = [&](const double* x, const double* y, FieldId id, TextD what, int layer) {
        FieldCheck check;
        check_field(b, id, nullptr, check, layer - 1, '.');
        if (check.error == 0) note(x, y, sizeof(double), what, layer);
    };
    for (const Field& f : FIELDS) note_number(&(a.*f.field), &(b.*f.field), f.id, f.name, 1);
    if (name.layer == 1) name.layer = 0;  // the conditions name no layer
    note(&a.layer_count, &b.layer_count, sizeof a.layer_count, TextD::StepSeveralValues, 0);
    note(&a.wall_type, &b.wall_type, sizeof a.wall_type, TextD::StepWallType, 0);
    note(&a.calc_mode, &b.calc_mode, sizeof a.calc_mode, TextD::StepCalcMode, 0);
    note(a.title, b.title, TITLE_SIZE, TextD::StepTitle, 0);
    for (int i = 0; i < MAX_LAYERS; ++i) {
        const Layer &x = a.layers[i], &y = b.layers[i];
        note(x.description, y.description, DESCRIPTION_SIZE, TextD::StepDescription, i + 1);
        note_number(&x.thickness, &y.thickness, FLD_THICKNESS, TextD::StepThickness, i + 1);
        note_number(&x.lambda, &y.lambda, FLD_LAMBDA, TextD::StepLambda, i + 1);
        note_number(&x.delta, &y.delta, FLD_DELTA, TextD::StepDelta, i + 1);
    }
    if (changes > 1) name = StepName{};
    return changes;
}

}  // namespace

class Document::Step : public QUndoCommand {
public:
    Step(Document& document, StepName name, std::uint16_t offset, std::string before,
         std::string after, std::vector<TextChange> texts, bool valid_before, bool valid_after)
        : offset(offset),
          before(std::move(before)),
          after(std::move(after)),
          texts(std::move(texts)),
          name(name),
          valid_before(valid_before),
          valid_after(valid_after),
          document_(document) {}

    void undo() override { document_.apply_step(*this, false); }
    // The first redo is the push: the edit has been done already.
    void redo() override {
        if (pushed_) document_.apply_step(*this, true);
        pushed_ = true;
    }

    const std::uint16_t offset;
    const std::string before, after;  // input bytes from `offset`
    const std::vector<TextChange> texts;
    const StepName name;
    const bool valid_before, valid_after;

private:
    Document& document_;
    bool pushed_ = false;
};

// The climate and the settings of the assessment, before and after.
class Document::AssessmentStep : public QUndoCommand {
public:
    AssessmentStep(Document& document, AssessmentStepName name, const AssessmentState& before,
                   const AssessmentState& after)
        : name(name), before_(before), after_(after), document_(document) {}
    void undo() override { document_.assessment().restore(before_); }
    void redo() override { document_.assessment().restore(after_); }

    const AssessmentStepName name;

private:
    const AssessmentState before_, after_;
    Document& document_;
};

void Document::change_assessment(const AssessmentState& after, AssessmentStepName name) {
    if (edit_depth_ > 0) return;
    // What was typed in the main window goes in first, as a step of its own.
    if (typed_anything()) read_grids();
    history_.push(new AssessmentStep(*this, name, assessment().state(), after));
    after_history_move();
}

bool Document::holds_more_than_partition() const {
    return assessment_ &&
           (assessment_->climate_given() || assessment_->settings().kind != PartitionKind::None);
}

void Document::begin_edit(std::optional<StepName> name) {
    if (edit_depth_++ > 0) return;
    std::memcpy(edit_before_.data(), input_bytes(record_), PAYLOAD_SIZE);
    edit_name_ = name;
}

void Document::end_edit() {
    if (--edit_depth_ > 0) return;
    TextSlots texts = current_texts();
    committed_ = texts;
    PartitionInput before;
    std::memcpy(&before, edit_before_.data(), PAYLOAD_SIZE);
    StepName name;
    // Refused, the same value again, or nothing at all.
    if (counted_changes(before, record_, name) == 0) return;
    if (edit_name_) name = *edit_name_;

    // The step runs from the state at the history's index, which a refused
    // number left in the record is no part of.
    const std::uint8_t* now = input_bytes(record_);
    const std::uint8_t* was = step_input_.data();
    std::size_t first = 0, last = PAYLOAD_SIZE;
    while (first < PAYLOAD_SIZE && was[first] == now[first]) ++first;
    while (last > first && was[last - 1] == now[last - 1]) --last;
    std::vector<TextChange> changes;
    for (int i = 0; i < TEXT_SLOTS; ++i)
        if (texts[i] != step_texts_[i])
            changes.push_back({std::uint8_t(i), step_texts_[i], texts[i]});
    auto* step = new Step(*this, name, std::uint16_t(first),
                          std::string(reinterpret_cast<const char*>(was + first), last - first),
                          std::string(reinterpret_cast<const char*>(now + first), last - first),
                          std::move(changes), step_valid_, state_.results_valid);
    std::memcpy(step_input_.data(), now, PAYLOAD_SIZE);
    step_texts_ = std::move(texts);
    step_valid_ = state_.results_valid;
    history_.push(step);
    emit history_changed();
}

void Document::restart_history() {
    history_.clear();
    std::memcpy(step_input_.data(), input_bytes(record_), PAYLOAD_SIZE);
    step_texts_ = committed_ = current_texts();
    step_valid_ = true;
    emit history_changed();
}

TextSlots Document::current_texts() const {
    TextSlots t;
    for (int row = 1; row <= 4; ++row)
        for (int col = COND_EXTERNAL; col <= COND_INTERNAL; ++col)
            t[condition_slot(col, row)] = conditions_.text(col, row);
    for (int row = 1; row <= MAX_LAYERS; ++row)
        for (int col = LAYER_DESCRIPTION; col <= LAYER_DELTA; ++col)
            t[layer_slot(col, row)] = layers_.text(col, row);
    t[TITLE_SLOT] = title_text_;
    t[RADIUS_SLOT] = radius_text_;
    return t;
}

void Document::put_texts(const TextSlots& t) {
    for (int row = 1; row <= 4; ++row)
        for (int col = COND_EXTERNAL; col <= COND_INTERNAL; ++col)
            conditions_.set_text(col, row, t[condition_slot(col, row)]);
    for (int row = 1; row <= MAX_LAYERS; ++row)
        for (int col = LAYER_DESCRIPTION; col <= LAYER_DELTA; ++col)
            layers_.set_text(col, row, t[layer_slot(col, row)]);
    title_text_ = t[TITLE_SLOT];
    radius_text_ = t[RADIUS_SLOT];
}

void Document::apply_step(const Step& step, bool forward) {
    const std::string& bytes = forward ? step.after : step.before;
    std::memcpy(step_input_.data() + step.offset, bytes.data(), bytes.size());
    std::memcpy(static_cast<PartitionInput*>(&record_), step_input_.data(), PAYLOAD_SIZE);
    for (const TextChange& c : step.texts) step_texts_[c.slot] = forward ? c.after : c.before;
    step_valid_ = forward ? step.valid_after : step.valid_before;
    committed_ = step_texts_;

    // Counts and headings from the record, then the texts as they were; the
    // window takes the edits' texts and the radio groups from grids_filled.
    state_.grids_ready = false;
    fill_conditions(false);
    fill_layers(false);
    put_texts(step_texts_);
    set_status(false, state_.status_text);
    emit grids_filled(true);
    state_.grids_ready = true;
    emit wall_type_changed();

    state_.results_valid = calculate_partition(record_) && step_valid_;
    state_.graph_dirty = false;
    emit results_changed();
    emit graph_changed();
}

bool Document::typed_anything() const { return current_texts() != committed_; }

void Document::undo() { go_through_step(false); }
void Document::redo() { go_through_step(true); }

void Document::go_through_step(bool forward) {
    if (edit_depth_ > 0 || !state_.grids_ready) return;
    if (typed_anything()) read_grids();
    if (!(forward ? history_.canRedo() : history_.canUndo())) return;
    forward ? history_.redo() : history_.undo();
    after_history_move();
}

void Document::after_history_move() {
    record_.modified = history_.isClean() ? 0 : 1;
    emit history_changed();
}

std::string Document::step_text(const QUndoCommand* command, TextD verb) const {
    std::string text = catalogue_d_text(verb);
    const auto* step = dynamic_cast<const Step*>(command);
    if (!step) return text;
    text += ": ";
    text += catalogue_d_text(step->name.what);
    if (const int layer = step->name.layer; layer > 0)
        text += " " + std::to_string(layer) + "-" + std::to_string(layer + 1);
    return text;
}

std::string Document::step_label(const QUndoCommand* command, TextD verb) const {
    const auto* step = dynamic_cast<const AssessmentStep*>(command);
    if (!step) return cp1250_to_utf8_lossy(step_text(command, verb));
    std::string name = catalogue_e_text(step->name.what);
    if (step->name.month >= 0)
        name = fill_text(catalogue_e_text(E_STEP_CELL),
                         {name, catalogue_e_text(E_STEP_MONTH_1 + step->name.month)});
    return cp1250_to_utf8_lossy(catalogue_d_text(verb)) + ": " + name;
}

std::string Document::undo_label() const {
    return step_label(history_.command(history_.index() - 1), TextD::Undo);
}

std::string Document::redo_label() const {
    return step_label(history_.command(history_.index()), TextD::Redo);
}

std::string Document::undo_text() const {
    return step_text(history_.command(history_.index() - 1), TextD::Undo);
}

std::string Document::redo_text() const {
    return step_text(history_.command(history_.index()), TextD::Redo);
}

bool Document::typed_in_cell(const GridCells& grid, int col, int row) const {
    const int slot = slot_of(grid, conditions_, layers_, col, row);
    return slot >= 0 && grid.text(col, row) != committed_[slot];
}

std::string Document::committed_cell_text(const GridCells& grid, int col, int row) const {
    const int slot = slot_of(grid, conditions_, layers_, col, row);
    return slot >= 0 ? committed_[slot] : std::string();
}

bool Document::typed_in_title() const { return title_text_ != committed_[TITLE_SLOT]; }
bool Document::typed_in_radius() const { return radius_text_ != committed_[RADIUS_SLOT]; }
