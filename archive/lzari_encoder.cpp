#include <array>
#include <memory>

#include "archive/lzari.h"
#include "archive/lzari_model.h"
#include "core/bytes.h"

namespace archive {

namespace {

using namespace lzari;

// The LZARI encoder: LZSS matching through a binary search tree over the window (one tree
// per first byte, nodes ordered by the 60 bytes that start there), and the arithmetic coder
// whose pending bits are emitted once the interval settles on one half.
class LzariEncoder {
  public:
    std::vector<std::uint8_t> encode(std::span<const std::uint8_t> data) {
        const auto size = static_cast<std::uint32_t>(data.size());
        out_.clear();
        out_.reserve(data.size() / 2 + 16);
        core::appendLittle32(out_, size);
        if (data.empty()) {
            return std::move(out_);  // the size alone: the decoder produces nothing
        }
        bitBuffer_ = 0;
        bitMask_ = 0x80;
        low_ = 0;
        high_ = kQ4;
        pendingBits_ = 0;
        model_.reset();
        initTree();

        std::size_t next = 0;  // next input byte to enter the lookahead
        int s = 0;             // oldest window position, overwritten next
        int r = kFirstWritePosition;
        text_.fill(0);
        std::fill(text_.begin(), text_.begin() + r, kInitialFill);
        int lookahead = 0;
        while (lookahead < kLongestMatch && next < data.size()) {
            text_[r + lookahead++] = data[next++];
        }
        if (lookahead > 0) {
            // The fill before the first byte can be matched too, as the decoder holds it.
            for (int i = 1; i <= kLongestMatch; ++i) {
                insertNode(r - i);
            }
            insertNode(r);
        }
        while (lookahead > 0) {
            if (matchLength_ > lookahead) {
                matchLength_ = lookahead;
            }
            if (matchLength_ <= kThreshold) {
                matchLength_ = 1;
                encodeCode(text_[r]);
            } else {
                encodeCode(matchCode(matchLength_));
                encodePosition(matchDistance_ - 1);
            }
            const int advance = matchLength_;
            int taken = 0;
            while (taken < advance && next < data.size()) {
                deleteNode(s);
                const std::uint8_t byte = data[next++];
                text_[s] = byte;
                // Mirror the window's start after its end so a string near the end compares
                // without wrapping.
                if (s < kLongestMatch - 1) {
                    text_[s + kWindowSize] = byte;
                }
                s = (s + 1) & kWindowMask;
                r = (r + 1) & kWindowMask;
                insertNode(r);
                ++taken;
            }
            while (taken++ < advance) {
                deleteNode(s);
                s = (s + 1) & kWindowMask;
                r = (r + 1) & kWindowMask;
                if (--lookahead > 0) {
                    insertNode(r);
                }
            }
        }
        encodeEnd();
        return std::move(out_);
    }

  private:
    static constexpr int kNil = kWindowSize;  // "no node"; also the index of a dummy slot

    // --- match finder ---

    void initTree() {
        for (int root = kWindowSize + 1; root <= kWindowSize + 256; ++root) {
            right_[root] = kNil;
        }
        for (int i = 0; i < kWindowSize; ++i) {
            parent_[i] = kNil;
        }
    }

    // Inserts the string at r into its tree and finds the longest match for it among the
    // strings met on the way; among matches of equal length the nearest wins. A string equal
    // over all 60 bytes replaces the older node, which leaves the tree.
    void insertNode(int r) {
        const std::uint8_t* key = &text_[r];
        int p = kWindowSize + 1 + key[0];
        int cmp = 1;
        right_[r] = left_[r] = kNil;
        matchLength_ = 0;
        for (;;) {
            if (cmp >= 0) {
                if (right_[p] == kNil) {
                    right_[p] = r;
                    parent_[r] = p;
                    return;
                }
                p = right_[p];
            } else {
                if (left_[p] == kNil) {
                    left_[p] = r;
                    parent_[r] = p;
                    return;
                }
                p = left_[p];
            }
            int i = 1;
            for (; i < kLongestMatch; ++i) {
                cmp = key[i] - text_[p + i];
                if (cmp != 0) {
                    break;
                }
            }
            if (i > kThreshold) {
                const int distance = (r - p) & kWindowMask;
                if (i > matchLength_) {
                    matchDistance_ = distance;
                    matchLength_ = i;
                    if (i >= kLongestMatch) {
                        break;
                    }
                } else if (i == matchLength_ && distance < matchDistance_) {
                    matchDistance_ = distance;
                }
            }
        }
        // r takes p's place in the tree.
        parent_[r] = parent_[p];
        left_[r] = left_[p];
        right_[r] = right_[p];
        parent_[left_[p]] = r;
        parent_[right_[p]] = r;
        if (right_[parent_[p]] == p) {
            right_[parent_[p]] = r;
        } else {
            left_[parent_[p]] = r;
        }
        parent_[p] = kNil;
    }

    void deleteNode(int p) {
        if (parent_[p] == kNil) {
            return;  // not in a tree
        }
        int q;
        if (right_[p] == kNil) {
            q = left_[p];
        } else if (left_[p] == kNil) {
            q = right_[p];
        } else {
            // Replace p by its in-order predecessor.
            q = left_[p];
            if (right_[q] != kNil) {
                do {
                    q = right_[q];
                } while (right_[q] != kNil);
                right_[parent_[q]] = left_[q];
                parent_[left_[q]] = parent_[q];
                left_[q] = left_[p];
                parent_[left_[p]] = q;
            }
            right_[q] = right_[p];
            parent_[right_[p]] = q;
        }
        parent_[q] = parent_[p];
        if (right_[parent_[p]] == p) {
            right_[parent_[p]] = q;
        } else {
            left_[parent_[p]] = q;
        }
        parent_[p] = kNil;
    }

    // --- arithmetic coder ---

    void putBit(bool bit) {
        if (bit) {
            bitBuffer_ |= bitMask_;
        }
        bitMask_ >>= 1;
        if (bitMask_ == 0) {
            out_.push_back(static_cast<std::uint8_t>(bitBuffer_));
            bitBuffer_ = 0;
            bitMask_ = 0x80;
        }
    }

    // One settled bit, then the bits that were pending on it, which are its complement.
    void output(bool bit) {
        putBit(bit);
        for (; pendingBits_ > 0; --pendingBits_) {
            putBit(!bit);
        }
    }

    void narrow(std::uint32_t cumHigh, std::uint32_t cumLow, std::uint32_t total) {
        const std::uint32_t range = high_ - low_;
        high_ = low_ + range * cumHigh / total;
        low_ = low_ + range * cumLow / total;
        for (;;) {
            if (high_ <= kQ2) {
                output(false);
            } else if (low_ >= kQ2) {
                output(true);
                low_ -= kQ2;
                high_ -= kQ2;
            } else if (low_ >= kQ1 && high_ <= kQ3) {
                ++pendingBits_;
                low_ -= kQ1;
                high_ -= kQ1;
            } else {
                break;
            }
            low_ += low_;
            high_ += high_;
        }
    }

    void encodeCode(int code) {
        const int s = model_.codeToSymbol[code];
        narrow(model_.symbolCum[s - 1], model_.symbolCum[s], model_.symbolCum[0]);
        model_.update(s);
    }

    void encodePosition(int position) {
        narrow(positionCum[position], positionCum[position + 1], positionCum[0]);
    }

    // Two more bits pick a quarter inside the final interval; seven zero bits push the last
    // partial byte out.
    void encodeEnd() {
        ++pendingBits_;
        output(low_ >= kQ1);
        for (int i = 0; i < 7; ++i) {
            putBit(false);
        }
    }

    std::vector<std::uint8_t> out_;
    std::uint32_t bitBuffer_ = 0;
    std::uint32_t bitMask_ = 0x80;
    std::uint32_t low_ = 0;
    std::uint32_t high_ = kQ4;
    std::uint32_t pendingBits_ = 0;
    SymbolModel model_{};

    // The window, with its first 59 bytes mirrored after its end.
    std::array<std::uint8_t, kWindowSize + kLongestMatch - 1> text_{};
    // Tree links: index kNil is a dummy that absorbs writes through empty links; indices
    // kWindowSize + 1 + b are the roots of the trees for strings starting with byte b.
    std::array<int, kWindowSize + 1> left_{};
    std::array<int, kWindowSize + 257> right_{};
    std::array<int, kWindowSize + 1> parent_{};
    int matchLength_ = 0;
    int matchDistance_ = 0;
};

}  // namespace

std::vector<std::uint8_t> lzariEncode(std::span<const std::uint8_t> data) {
    auto encoder = std::make_unique<LzariEncoder>();
    return encoder->encode(data);
}

}  // namespace archive
