#pragma once

class DBGridEh;
class QWidget;
class SampleList;

// What the main window lends the commands that the subsystems install into it.
class MainHost
{
public:
    virtual ~MainHost() = default;

    // The window the commands' own windows open over.
    virtual QWidget *hostWindow() = 0;
    virtual SampleList &samples() = 0;
    virtual DBGridEh *sampleGrid() = 0;
    // The code lists changed: the value list reads them again.
    virtual void codeListsChanged() = 0;
    // Lists what the filters select again; an advanced query's result gives way to it.
    virtual void rerunListQuery() = 0;
    // The sample type tree changed: the navigator reads it again and the list follows.
    virtual void sampleTypesChanged() = 0;
};
