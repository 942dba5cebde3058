#pragma once

#include <QList>
#include <QPointer>

// The objects of a list of weak pointers that still exist, in list order.
template <typename T> QList<T*> livePointers(const QList<QPointer<T>>& pointers)
{
    QList<T*> result;
    for (const QPointer<T>& pointer : pointers) {
        if (pointer)
            result.append(pointer.data());
    }
    return result;
}
