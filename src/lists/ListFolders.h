#pragma once
// The folders the tree's nodes stand for.
#include <QString>

// The lists folder: the setting, or "Main" beside the program; ends in "/".
QString ItemsListsFolder();
// The folder a node's key stands for: a list's the folder that holds its
// file, a root's or a CD drive's the lists folder.
QString FolderOfNode(const QString& key);
