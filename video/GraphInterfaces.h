#pragma once
// What a component must offer to take part in a media graph: members bring an element of their
// own into the pipeline, listeners hear the bus and the graph's own operations.

#include <gst/gst.h>

#include <QString>

// Membership notifications, in the order a member goes through them.
enum TGraphMembership { gmAdding = 0, gmAdded = 1, gmRemoving = 2, gmRemoved = 3 };

// Control events the graph sends around its own operations.
enum TControlEvent {
    cePlay = 0,
    ceStop = 2,
    ceFileRendering = 3,
    ceFileRendered = 4,
    ceActivate = 7
};

class IGraphMember {
public:
    virtual ~IGraphMember() = default;
    // The member's element; asked for after the adding notification, owned by the member.
    virtual GstElement* graphElement() = 0;
    virtual QString graphName() const = 0;
    virtual void graphMembership(TGraphMembership code) = 0;
    // Everything but the members' own elements has left the graph; the member's element is
    // unlinked.
    virtual void graphCleared() { }
};

class IGraphListener {
public:
    virtual ~IGraphListener() = default;
    // Every bus message of the graph, on the user-interface thread, before the graph handles it.
    virtual void graphEvent(GstMessage* message) = 0;
    virtual void controlEvent(TControlEvent code, int param) = 0;
};
