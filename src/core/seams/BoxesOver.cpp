#include "core/seams/BoxesOver.h"

#include "core/seams/FileChooser.h"
#include "core/seams/Prompter.h"
#include "core/seams/Services.h"

BoxesOver::BoxesOver(const Services& services, QObject* window)
    : m_prompter(services.prompter), m_files(services.files) {
    if (m_prompter)
        m_prompterBefore = m_prompter->setOwnerWindow(window);
    if (m_files)
        m_filesBefore = m_files->setOwnerWindow(window);
}

BoxesOver::~BoxesOver() {
    if (m_prompter)
        m_prompter->setOwnerWindow(m_prompterBefore);
    if (m_files)
        m_files->setOwnerWindow(m_filesBefore);
}
