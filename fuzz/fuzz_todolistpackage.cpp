// Links: hy_formats
// Reads bytes as the "project.xml" of a to-do-list package, as the import does, into a fresh
// project, and appends what it made.
#include "DMProject.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMTodoListPackage.h"
#include "FuzzSupport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    installQuietMessageHandler();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    auto project = DMProject::create();
    QList<std::shared_ptr<DMProjectTodo>> todos;
    QString error;
    if (DMTodoListPackage::readTodosFromData(bytes, project, &todos, &error))
        for (const auto &todo : todos)
            project->todoContainer()->todos().append(todo);
    return 0;
}
