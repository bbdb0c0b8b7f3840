#pragma once

class DMProject;

// The critical path of a project: a forward pass (early dates: an item begins no earlier than
// its own begin nor than its links allow, a parent ends no earlier than its subitems) and a
// backward pass from the project's scheduled end, its last item's end (late dates: an item ends
// no later than its successors and its parent allow), over the item tree with processes and groups as nodes, in working time
// for items on the working schedule. The items without float form the project's critical-path
// set (an early finish past the latest one, as a broken link makes, counts too); every item's
// floatDuration is the signed time from its end to its latest end. Linear in items and links;
// the item graph (tree, links, topological order) is kept in compact arrays between
// computations while the trees and links stay, so a change of dates only reruns the passes.
class DMCriticalPath
{
public:
    // Computes now and stores the results (announcing what changed).
    static void update(DMProject &project);
    // Marks the results stale: they are computed on the next read, or soon after.
    static void scheduleUpdate(DMProject &project);

private:
    class Pass;
};
