#pragma once

class DMProject;
class DMProjectItem;

// A topological order of the items over their links, kept as links are added, so that the
// cycle check of a new link looks only at the items between its two ends in that order
// (linking a chain one link at a time stays linear). Every item gets a key on creation,
// greater than every key before it; for each link of a project whose order is valid, the
// source's key is below the target's. Links that arrive by other ways (loading, undo, items
// joining with their links) mark the project's order stale; the next check renumbers the
// project once, and falls back to a full search when the links hold a cycle.
class DMLinkOrder
{
public:
    static unsigned long long nextKey();
    // True when a link from `from` to `to` would close a cycle. When it would not, the order is
    // updated for that link, which the caller must then add.
    static bool linkWouldCloseCycle(DMProjectItem &from, DMProjectItem &to);
    static void invalidate(DMProject &project);

private:
    static bool renumber(DMProject &project);
    static bool reorder(DMProjectItem &from, DMProjectItem &to);
};
