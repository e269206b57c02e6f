#pragma once

#include <QString>

// Why a file could not be written at `path`, in the user's words ("Отказано
// в доступе", "диск заполнен", ...), found by looking at the folder and the
// disk after the failure; empty when nothing there explains it.
QString fileFailureReason(const QString& path);

// "<message>: <path>: <reason>", or without the reason when none is found.
QString fileFailureText(const QString& message, const QString& path);
