#include "lists/ListFolders.h"

#include "core/MainWindowServices.h"
#include "core/Paths.h"
#include "platform/AppInfo.h"
#include "settings/mdlOptions.h"

QString ItemsListsFolder()
{
    QString folder = g_sToPath.isEmpty() ? platform::AppPath() + "/Main/" : g_sToPath;
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}

QString FolderOfNode(const QString& key)
{
    if (key.isEmpty() || MainWindowServices::IsMainNode(key) || MainWindowServices::IsCDNode(key))
        return ItemsListsFolder();
    return GetFolderOfPath(key);
}
