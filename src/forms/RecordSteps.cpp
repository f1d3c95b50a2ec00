#include "forms/RecordSteps.h"

#include "dataset/Dataset.h"
#include "forms/RecordFace.h"

namespace forms {

RecordSteps::RecordSteps(RecordFace &face, dataset::TableDataset &table)
    : m_face(face), m_table(table) {
}

void RecordSteps::newButtonStep() {
    newRecordStep();
    m_face.firstTabStep();
    m_face.focusFirstBox();
}

void RecordSteps::editStep() {
    if (m_face.shownId().isEmpty()) {
        newButtonStep();
        return;
    }
    m_table.edit();
    m_face.enterEditMode();
}

void RecordSteps::confirmStep() {
    // A box whose text the row refuses ends the step before anything is written.
    m_face.handOverTypedText();
    if (!acceptRow())
        return;
    postRow();
    m_face.enterBrowseMode();
    showCurrentRow();
}

} // namespace forms
