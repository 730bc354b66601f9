// The tool-window library's list sort: a recursive quicksort with the middle item as pivot. It is not
// stable, and every list of the library is sorted by it, so that equal keys come out in one order
// wherever the same list is sorted.
#pragma once

namespace toolkit {

// Sorts the items 0..count-1 ascending. item(i) gives the item at i, exchange(i, j) swaps two, and
// compare(a, b) is negative, 0 or positive. The pivot is held as an item, not an index, so exchanges
// never move it. Fewer than two items: compare is never called.
template <class Item, class Exchange, class Compare>
void QuickSortItems(int count, const Item& item, const Exchange& exchange, const Compare& compare) {
  if (count < 2) return;
  struct Sorter {
    const Item& item;
    const Exchange& exchange;
    const Compare& compare;
    void Range(int left, int right) const {
      do {
        int i = left;
        int j = right;
        const auto pivot = item(static_cast<int>((static_cast<unsigned>(left) + static_cast<unsigned>(right)) >> 1));
        do {
          while (compare(item(i), pivot) < 0) ++i;
          while (compare(item(j), pivot) > 0) --j;
          if (i <= j) {
            exchange(i, j);
            ++i;
            --j;
          }
        } while (i <= j);
        if (left < j) Range(left, j);
        left = i;
      } while (left < right);
    }
  };
  Sorter{item, exchange, compare}.Range(0, count - 1);
}

}  // namespace toolkit
