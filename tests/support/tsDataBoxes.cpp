#include "tsDataBoxes.h"

DataBoxes::DataBoxes() { SetDataUserInterface(this); }

DataBoxes::~DataBoxes() { SetDataUserInterface(nullptr); }

void DataBoxes::inform(const QString& text, const QString& title, const QString& detail) {
    m_shown.append({text, title, detail});
    if (qEnvironmentVariableIsSet("QV_MODAL_TRACE")) // see tsModal.cpp
        qDebug("data box: %s", qPrintable(text));
}

QStringList DataBoxes::texts() const {
    QStringList out;
    for (const auto& b : m_shown)
        out << b.text;
    return out;
}
