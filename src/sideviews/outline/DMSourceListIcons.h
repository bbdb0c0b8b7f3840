#pragma once

#include <QImage>
#include <QString>

// The pictures of the source list's rows, drawn by generators registered under their image
// names: "icon_settings_project", "icon_settings_days", "icon_resources_view", "icon_gantt_view",
// "icon_items_tasks", "icon_resources_view2", "icon_items_events", "icon_items_documents" and
// "icon_report_view", each in slate grey, and white on the selected row under the same name
// followed by "_on".
namespace DMSourceListIcons {

// The image of the name through the image library, the generators registered first.
QImage imageNamed(const QString &name);

} // namespace DMSourceListIcons
